// The application's logging: message boxes through the wrapped platform, lines
// appended to the log file.

#include "app/AppPlatform.h"

#include <gtest/gtest.h>

#include "app/AppFixture.h"

namespace {

using LoggingTest = AppTest;

TEST_F(LoggingTest, LoggingOffWritesNothingButStillShowsTheBox) {
  app.logSettings = {0, (dir / "k.log").string(), 0};
  app.LogMessage("ERROR in /x.c3d : This is not a C3D File", true, true);
  app.LogMessage("Opened File /y.c3d", false, true);
  EXPECT_FALSE(std::filesystem::exists(dir / "k.log"));
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].text, "ERROR in /x.c3d : This is not a C3D File");
  EXPECT_TRUE(ui.messages[0].showBox);
  EXPECT_FALSE(ui.messages[1].showBox);
}

TEST_F(LoggingTest, FileIsCreatedThenAppendedAcrossRuns) {
  const auto log = dir / "k.log";
  app.logSettings = {1, log.string(), 0};
  app.LogMessage("ERROR in /x.c3d : Not Enough Memory", true, true);
  app.LogMessage("Opened File /y.c3d", false, true);
  app.LogMessage("only shown", true, false);  // not for the log
  EXPECT_EQ(testsupport::ReadFileText(log),
            testsupport::PlatformLines("ERROR in /x.c3d : Not Enough Memory\nOpened File /y.c3d\n"));
  EXPECT_EQ(ui.messages.size(), 3u);

  // The file is closed between messages: it can be deleted and comes back.
  std::filesystem::remove(log);
  app.LogMessage("after delete", false, true);
  EXPECT_EQ(testsupport::ReadFileText(log), testsupport::PlatformLines("after delete\n"));

  // A restart appends to the same file; logging switched on at run time applies at once.
  testsupport::RecordingPlatform ui2;
  CKinex2App next(ui2);
  next.logSettings = {0, log.string(), 0};
  next.Platform().LogMessage("logging off", false, true);
  next.logSettings.Log = 1;
  next.Platform().LogMessage("second run", false, true);
  EXPECT_EQ(testsupport::ReadFileText(log),
            testsupport::PlatformLines("after delete\nsecond run\n"));
}

TEST_F(LoggingTest, UnwritableLogFileLosesTheLineSilently) {
  const auto log = dir / "no such folder" / "k.log";
  app.logSettings = {1, log.string(), 0};
  app.LogMessage("ERROR in /x.c3d : This is not a C3D File", true, true);
  EXPECT_FALSE(std::filesystem::exists(log.parent_path()));
  ASSERT_EQ(ui.messages.size(), 1u);  // the box and nothing else
  EXPECT_TRUE(ui.messages[0].showBox);

  for (const std::string& bad : {std::string(), dir.path().string()}) {
    app.logSettings.LogFile = bad;
    app.LogMessage("lost", true, true);
  }
  EXPECT_EQ(ui.messages.size(), 3u);
}

TEST_F(LoggingTest, OtherCallsReachTheWrappedPlatform) {
  CPlatform& p = app.Platform();
  ui.answerYes = true;
  EXPECT_TRUE(p.AskYesNo("Overwrite?"));
  {
    CWaitCursor wait(p);
    CProgressScope progress(p, 10);
    progress.Step();
    EXPECT_EQ(ui.waitDepth, 1);
  }
  EXPECT_EQ(ui.waitDepth, 0);
  EXPECT_EQ(ui.progressSteps, 1);

  // Wrapping the decorator itself is refused: no endless recursion.
  testsupport::RecordingPlatform other;
  app.SetUiPlatform(other);
  app.SetUiPlatform(app.Platform());
  app.LogMessage("to the other", true, false);
  EXPECT_EQ(other.Texts(), (std::vector<std::string>{"to the other"}));
}

}  // namespace
