#include "saverpack/host/host_path.h"

#include <gtest/gtest.h>

namespace saverpack {
namespace {

TEST(HostPathTest, PartsOfAPath) {
  struct Case {
    const char* path;
    const char* file_name;
    const char* stem;
    const char* folder;
    std::optional<std::string> parent;
  } cases[] = {
      {"Aurora.scr", "Aurora.scr", "Aurora", "", std::nullopt},
      {"savers/Aurora.scr", "Aurora.scr", "Aurora", "savers/", "savers"},
      {"C:\\Savers\\Aurora.scr", "Aurora.scr", "Aurora", "C:\\Savers\\", "C:\\Savers"},
      {"C:Aurora.scr", "Aurora.scr", "Aurora", "", std::nullopt},
      {"mixed\\dir/Aurora.scr", "Aurora.scr", "Aurora", "mixed\\dir/", "mixed\\dir"},
      {"savers/", "", "", "savers/", "savers"},
      {"/saverpack", "saverpack", "saverpack", "/", ""},
      {"examples/aurora.tar.gz", "aurora.tar.gz", "aurora.tar", "examples/", "examples"},
      {"conf/.ini", ".ini", ".ini", "conf/", "conf"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FileNameOf(c.path), c.file_name) << c.path;
    EXPECT_EQ(StemOf(c.path), c.stem) << c.path;
    EXPECT_EQ(FolderOf(c.path), c.folder) << c.path;
    EXPECT_EQ(ParentFolder(c.path), c.parent) << c.path;
  }
}

TEST(HostPathTest, JoinedAndRelativePaths) {
  struct Case {
    const char* folder;
    const char* path;
    const char* joined;
    const char* relative;
  } cases[] = {
      {"", "a.scr", "a.scr", "a.scr"},
      {"savers", "a.scr", "savers/a.scr", "savers/a.scr"},
      {"savers/", "a.scr", "savers/a.scr", "savers/a.scr"},
      {"C:\\Savers\\", "a.scr", "C:\\Savers\\a.scr", "C:\\Savers\\a.scr"},
      {"savers/", "/abs/a.scr", "savers//abs/a.scr", "/abs/a.scr"},
      {"savers/", "\\abs\\a.scr", "savers/\\abs\\a.scr", "\\abs\\a.scr"},
      {"savers/", "D:a.scr", "savers/D:a.scr", "D:a.scr"},
      {"savers/", "", "savers/", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(JoinPath(c.folder, c.path), c.joined) << c.folder << " + " << c.path;
    EXPECT_EQ(PathRelativeTo(c.folder, c.path), c.relative) << c.folder << " + " << c.path;
  }
}

}  // namespace
}  // namespace saverpack
