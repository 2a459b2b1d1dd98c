#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "fifo.h"
#include "fileio/file.h"
#include "god_file_writer.h"
#include "special_files.h"
#include "temp_dir.h"

namespace tolvex {
namespace {

// What is found at a name is judged on the file itself: only plain files,
// with their sizes, and links to them.
TEST(FindPlainFile, FindsOnlyPlainFiles)
{
    testing::TempDir dir;
    ASSERT_TRUE(testing::save_file(dir.path("plain"), std::vector<unsigned char>(700, 'p')));
    ASSERT_TRUE(testing::save_file(dir.path("empty"), {}));
    std::filesystem::create_directory(dir.path("folder"));
    bool fifo = testing::make_fifo(dir.path("fifo"));
    bool links = testing::make_link(dir.path("plain"), dir.path("link to plain")) &&
                 testing::make_link(dir.path("folder"), dir.path("link to folder"));
    const struct {
        const char* name;
        std::string path;
        bool made;  // the platform has one
        bool plain;
        std::uint64_t size;
    } cases[] = {
        {"a plain file", dir.path("plain"), true, true, 700},
        {"an empty plain file", dir.path("empty"), true, true, 0},
        {"a folder", dir.path("folder"), true, false, 0},
        {"a FIFO", dir.path("fifo"), fifo, false, 0},
        {"a missing name", dir.path("missing"), true, false, 0},
        {"a link to a plain file", dir.path("link to plain"), links, true, 700},
        {"a link to a folder", dir.path("link to folder"), links, false, 0},
        {"the null device", testing::null_device, true, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.made)
            continue;
        FoundFile found;
        ASSERT_EQ(find_plain_file(c.path, found), c.plain);
        if (!c.plain)
            continue;
        EXPECT_EQ(found.size, c.size);
        FileHandle file;
        ASSERT_EQ(open_found_file(c.path, found, file), 0);
        let_go(found);
        std::vector<unsigned char> bytes(1000);
        int error = 0;
        EXPECT_EQ(read_file(file, bytes.data(), bytes.size(), error), static_cast<long>(c.size));
        close_file(file);
    }
}

}  // namespace
}  // namespace tolvex
