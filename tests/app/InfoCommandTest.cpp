#include "app/InfoCommand.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "support/TestSupport.h"

namespace {

// `kinex2 info` reads a file with the reader its extension names, so a MAC
// file shows its own header and channel names.
TEST(InfoCommandTest, TheReaderComesFromTheTableOfFormats) {
  testsupport::TempDir dir;
  const std::string text = "a b 0.04 50 1 1\n~ 2 LEFT\n00\n01\n";
  const auto path = dir / "walk.ANA";
  testsupport::WriteFile(path, std::vector<unsigned char>(text.begin(), text.end()));
  std::FILE* out = std::tmpfile();
  ASSERT_EQ(RunInfoCommand(path, out), 0);
  std::rewind(out);
  std::string printed(4096, '\0');
  printed.resize(std::fread(printed.data(), 1, printed.size(), out));
  std::fclose(out);
  EXPECT_EQ(printed.rfind("$HeaderInformation\nNumber of Analog Channels  : 1\n", 0), 0u)
      << printed;
  EXPECT_NE(printed.find("Sampling Frequency         : 50.000\n"), std::string::npos);
  EXPECT_NE(printed.find("ANALOG   1 LEFT"), std::string::npos) << printed;
}

// A listing that cannot be written fails as a conversion would.
TEST(InfoCommandTest, WriteErrorsFail) {
  KX_REQUIRE_SHARED_DATA();
  std::FILE* full = std::fopen("/dev/full", "w");
  if (full == nullptr) GTEST_SKIP() << "no /dev/full";
  testing::internal::CaptureStderr();
  EXPECT_EQ(RunInfoCommand(testsupport::SharedDataDir() / "c3d" / "Gait.c3d", full), 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "ERROR in - : The disk is full\n");
  std::fclose(full);
}

std::string InfoOf(const std::filesystem::path& path) {
  std::FILE* out = std::tmpfile();
  EXPECT_EQ(RunInfoCommand(path, out), 0);
  std::rewind(out);
  std::string printed(1 << 20, '\0');
  printed.resize(std::fread(printed.data(), 1, printed.size(), out));
  std::fclose(out);
  return printed;
}

// Gait events kept in the EVENT group are listed with their context and
// frame; blank channel labels keep their numbered names.
TEST(InfoCommandTest, EventGroupEventsAndBlankLabels) {
  KX_REQUIRE_SHARED_DATA();
  const std::string walk = InfoOf(testsupport::SharedDataDir() / "c3d" / "FunctionalWalk.c3d");
  std::size_t events = 0;
  for (std::size_t at = walk.find("\nEVENT  "); at != std::string::npos;
       at = walk.find("\nEVENT  ", at + 1)) {
    ++events;
  }
  EXPECT_EQ(events, 11u);
  EXPECT_NE(walk.find("EVENT  Foot Strike      context=Left frame=607 time=5.0500\n"),
            std::string::npos);
  const std::string emg = InfoOf(testsupport::SharedDataDir() / "c3d" / "Gait with EMG.c3d");
  EXPECT_NE(emg.find("ANALOG  21 Channel 21 "), std::string::npos);
  EXPECT_NE(emg.find("ANALOG  32 Channel 32 "), std::string::npos);
}

}  // namespace
