#include "app/AppPaths.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include "support/TestSupport.h"

namespace {

TEST(AppPaths, DataFolderFallsBackWhenTheExecutableFolderCannotBeWritten) {
  testsupport::TempDir dir;
  const auto config = dir / "config";
  EXPECT_EQ(ChooseDataFolder(dir.path(), config), dir.path());
  EXPECT_EQ(ChooseDataFolder(dir / "missing", config), config);
  testsupport::WriteFile(dir / "file", {'x'});
  EXPECT_EQ(ChooseDataFolder(dir / "file", config), config);
  // With nowhere else to go the executable's folder is kept.
  EXPECT_EQ(ChooseDataFolder(dir / "missing", {}), dir / "missing");
  // The probe leaves nothing behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            1);
}

// Windows ignores the read-only attribute of folders: permission bits are POSIX.
#ifndef _WIN32
TEST(AppPaths, ReadOnlyFolderIsNotWritable) {
  if (::geteuid() == 0) GTEST_SKIP() << "the superuser writes into read-only folders";
  testsupport::TempDir dir;
  const auto folder = dir / "ro";
  std::filesystem::create_directory(folder);
  std::filesystem::permissions(
      folder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  EXPECT_FALSE(IsWritableFolder(folder));
  std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
  EXPECT_TRUE(IsWritableFolder(folder));
}
#endif

}  // namespace
