#pragma once
// An application object that keeps everything in the test's own temporary
// folder and an in-memory settings store.

#include <gtest/gtest.h>

#include <memory>

#include "app/Kinex2App.h"
#include "app/SettingsStore.h"
#ifndef KINEX2_NO_QT
#include "qtstore/QtSettingsStore.h"
#endif
#include "support/TestSupport.h"

class AppTest : public ::testing::Test {
 protected:
  AppTest() : app(ui) {
#ifndef KINEX2_NO_QT
    UseLinkedQtStore();
#endif
    app.SetExecutablePath(dir / "kinex2");
    app.SetDataFolder(dir.path());
    auto s = std::make_unique<CMemorySettingsStore>();
    store = s.get();
    app.UseSettingsStore(std::move(s));
  }

  testsupport::TempDir dir;
  testsupport::RecordingPlatform ui;
  CKinex2App app;
  CMemorySettingsStore* store = nullptr;
};
