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

TEST(PlainFileSize, OnlyPlainFilesHaveOne)
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
        std::uint64_t size;
    } cases[] = {
        {"a plain file", dir.path("plain"), true, 700},
        {"an empty plain file", dir.path("empty"), true, 0},
        {"a folder", dir.path("folder"), true, 0},
        {"a FIFO", dir.path("fifo"), fifo, 0},
        {"a missing name", dir.path("missing"), true, 0},
        {"a link to a plain file", dir.path("link to plain"), links, 700},
        {"a link to a folder", dir.path("link to folder"), links, 0},
        {"the null device", testing::null_device, true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.made)
            continue;
        EXPECT_EQ(plain_file_size(c.path), c.size);
    }
}

}  // namespace
}  // namespace tolvex
