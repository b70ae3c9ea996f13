#include "documents/FormatRegistry.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/Text.h"
#include "support/TestSupport.h"

namespace {

// The open dialog's filter split at '|' into (text, patterns) pairs.
std::vector<std::pair<std::string, std::string>> FilterEntries() {
  std::vector<std::string> parts;
  std::string part;
  for (const char* c = OpenDialogFilter().c_str(); *c != '\0'; ++c) {
    if (*c == '|') {
      parts.push_back(part);
      part.clear();
    } else {
      part += *c;
    }
  }
  std::vector<std::pair<std::string, std::string>> entries;
  for (std::size_t i = 0; i + 1 < parts.size() && !parts[i].empty(); i += 2) {
    entries.emplace_back(parts[i], parts[i + 1]);
  }
  return entries;
}

std::set<std::string> Patterns(const std::string& list) {
  std::set<std::string> out;
  std::size_t start = 0;
  while (start <= list.size()) {
    const std::size_t end = std::min(list.find(';', start), list.size());
    out.insert(list.substr(start, end - start));
    start = end + 1;
  }
  return out;
}

TEST(FormatRegistryTest, EveryExtensionChoosesItsFormatIgnoringCase) {
  for (const CFormatEntry& f : Formats()) {
    for (const std::string& e : f.extensions) {
      std::string upper;
      for (char c : e) upper += AsciiUpper(c);
      EXPECT_EQ(&FormatFor("/data/walk" + e), &f) << e;
      EXPECT_EQ(&FormatFor("/data/walk" + upper), &f) << upper;
    }
  }
  // A file of no registered extension is offered to the first format's reader.
  EXPECT_EQ(&FormatFor("walk.xyz"), &Formats()[0]);
  EXPECT_EQ(&FormatFor("walk"), &Formats()[0]);
  // Stored selections are indexed by table position, each in a section of its own.
  std::set<std::string> sections;
  for (std::size_t i = 0; i < Formats().size(); ++i) {
    EXPECT_EQ(FormatIndex(Formats()[i]), i) << Formats()[i].name;
    EXPECT_TRUE(sections.insert(Formats()[i].selectionSection).second);
  }
}

TEST(FormatRegistryTest, OpenDialogFilterAgreesWithTheTable) {
  const auto entries = FilterEntries();
  ASSERT_EQ(entries.size(), 8u);
  EXPECT_EQ(entries[6].first, "All Supported Files");
  EXPECT_EQ(entries[7], std::make_pair(std::string("All Files (*.*)"), std::string("*.*")));
  std::set<std::string> supported = Patterns(entries[6].second);
  for (const CFormatEntry& f : Formats()) {
    bool listed = false;
    for (std::size_t i = 0; i < 6; ++i) {
      if (entries[i].first != f.OpenFilterText()) continue;
      listed = true;
      EXPECT_EQ(entries[i].second, f.OpenFilterPatterns()) << f.name;
    }
    EXPECT_TRUE(listed) << f.name << " has no entry of its own";
    for (const std::string& e : f.extensions) {
      EXPECT_EQ(supported.erase("*" + e), 1u) << e << " missing from All Supported Files";
    }
  }
  // And the other way round: the dialog offers nothing the table cannot open.
  EXPECT_TRUE(supported.empty()) << *supported.begin() << " has no format";
  ASSERT_EQ(Formats().size(), 6u);
  for (std::size_t i = 0; i < 6; ++i) {
    bool found = false;
    for (const CFormatEntry& f : Formats()) found = found || entries[i].first == f.OpenFilterText();
    EXPECT_TRUE(found) << entries[i].first << " has no format";
  }
}

}  // namespace

namespace {

// A file no format reads is named for what it is, with what Kinex2 reads;
// a C3D file under another name still opens as before.
TEST(FormatRegistryTest, UnknownExtensionsSayWhatKinex2Reads) {
  testsupport::TempDir dir;
  testsupport::WriteFile(dir / "walk.EMR", {'E', 'M', 'R', '!'});
  EXPECT_EQ(UnknownExtensionText(dir / "walk.EMR"),
            "Kinex2 does not read .EMR files; it reads .c3d, .vad, .adc, .ana, .dat, .wdq and "
            ".emg");
  testsupport::WriteFile(dir / "walk", {'E', 'M'});
  EXPECT_EQ(UnknownExtensionText(dir / "walk")
                .rfind("Kinex2 does not read files without an "
                       "extension; it reads .c3d",
                       0),
            0u);
  testsupport::WriteFile(dir / "walk.bak", {0x02, 0x50, 0, 0});
  EXPECT_EQ(UnknownExtensionText(dir / "walk.bak"), "");
  testsupport::WriteFile(dir / "walk.C3D", {'x', 'x'});
  EXPECT_EQ(UnknownExtensionText(dir / "walk.C3D"), "");  // its reader says what is wrong
  EXPECT_EQ(UnknownExtensionText(dir / "missing.EMR"), "");
}

}  // namespace
