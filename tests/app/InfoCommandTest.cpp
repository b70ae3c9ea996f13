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
  EXPECT_EQ(printed.rfind("$HeaderInformation\nNumber of Analog Channels  : 1\n", 0), 0u) << printed;
  EXPECT_NE(printed.find("Sampling Frequency         : 50.000\n"), std::string::npos);
  EXPECT_NE(printed.find("ANALOG   1 LEFT"), std::string::npos) << printed;
}

}  // namespace
