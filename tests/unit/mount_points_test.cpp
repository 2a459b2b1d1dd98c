#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fileio/folder_listing.h"

namespace tolvex {
namespace {

struct Case {
    const char* name;
    const char* mountinfo;
    const char* folder;
    std::vector<std::string> names;
};

const Case cases[] = {
    {"the root holds each top-level mount point",
     "22 28 0:21 / /proc rw,relatime - proc proc rw\n"
     "23 28 0:22 / /sys rw,relatime - sysfs sysfs rw\n"
     "24 28 0:6 / /dev rw,relatime - devtmpfs devtmpfs rw\n"
     "26 24 0:24 / /dev/shm rw,relatime - tmpfs tmpfs rw\n"
     "28 1 8:1 / / rw,relatime - ext4 /dev/sda1 rw\n",
     "/",
     {"proc", "sys", "dev"}},
    {"a folder named with a slash at the end",
     "40 28 0:40 / /a/b/x rw - tmpfs tmpfs rw\n",
     "/a/b/",
     {"x"}},
    {"a space, a tab and a backslash",
     "40 28 0:40 / /a/b/one\\040two rw - tmpfs tmpfs rw\n"
     "41 28 0:41 / /a/b/tab\\011 rw - tmpfs tmpfs rw\n"
     "42 28 0:42 / /a/b/back\\134slash rw - tmpfs tmpfs rw\n",
     "/a/b",
     {"one two", "tab\t", "back\\slash"}},
    {"a backslash without three octal digits stays",
     "40 28 0:40 / /a/b/x\\08 rw - tmpfs tmpfs rw\n"
     "41 28 0:41 / /a/b/y\\04 rw - tmpfs tmpfs rw\n",
     "/a/b",
     {"x\\08", "y\\04"}},
    {"deeper down, beside, above and the folder itself are not in it",
     "40 28 0:40 / /a/b/c/d rw - tmpfs tmpfs rw\n"
     "41 28 0:41 / /a/bc rw - tmpfs tmpfs rw\n"
     "42 28 0:42 / /a rw - tmpfs tmpfs rw\n"
     "43 28 0:43 / /a/b rw - tmpfs tmpfs rw\n",
     "/a/b",
     {}},
    {"the mount point, not the root it shows",
     "40 28 8:1 /a/b/root /mnt rw - ext4 /dev/sda1 rw\n",
     "/a/b",
     {}},
    {"lines too short to name a mount point",
     "40 28 0:40 /a/b/x\n"
     "40 28 /a/b/y\n"
     "\n"
     "41 28 0:41 / /a/b/z rw - tmpfs tmpfs rw",
     "/a/b",
     {"z"}},
    {"no text", "", "/", {}},
};

TEST(MountPoints, NamesMountedInAFolder)
{
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(names_mounted_in(c.mountinfo, c.folder), c.names);
    }
}

}  // namespace
}  // namespace tolvex
