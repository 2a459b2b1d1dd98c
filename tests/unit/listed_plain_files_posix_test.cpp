#include <gtest/gtest.h>
#include <sys/mount.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

#include "fifo.h"
#include "fileio/listed_plain_files.h"
#include "god_file_writer.h"
#include "temp_dir.h"

namespace tolvex {
namespace {

struct Case {
    const char* name;
    std::size_t least_names;
    std::vector<std::string> names;  // in the test's folder, unless they start with "/"
    std::vector<bool> marked;
};

// Folder "a" holds plain files p1 to p5, an empty one, a FIFO, a folder
// with a plain file s1 in it, and a link to p1; folder "b" holds q1.
const Case cases[] = {
    {"every kind in one folder",
     4,
     {"a/p1", "a/empty", "a/fifo", "a/sub", "a/link", "a/missing", "a/p1"},
     {true, true, false, false, false, false, true}},
    {"too few in a row", 4, {"a/p1", "a/p2", "a/p3"}, {false, false, false}},
    {"runs parted by another folder",
     4,
     {"a/p1", "a/p2", "a/p3", "a/p4", "b/q1", "a/p5"},
     {true, true, true, true, false, false}},
    {"a folder within is another folder",
     2,
     {"a/p1", "a/p2", "a/sub/s1", "a/p3", "a/p4"},
     {true, true, false, true, true}},
    {"a name ending in a slash", 2, {"a/p1", "a/p2", "a/", "a/p3"}, {true, true, false, true}},
    {"a folder named with a dot", 2, {"a/./p1", "a/./p2"}, {true, true}},
    {"files made up as they are read",
     1,
     {"/proc/self/status", "/proc/self/stat", "/proc/self/io"},
     {false, false, false}},
};

TEST(ListedPlainFiles, MarksWhatTheFolderListsAsPlainFilesForEnoughNamesInARow)
{
    testing::TempDir dir;
    std::filesystem::create_directories(dir.path("a/sub"));
    std::filesystem::create_directory(dir.path("b"));
    for (const char* name : {"a/p1", "a/p2", "a/p3", "a/p4", "a/p5", "a/sub/s1", "b/q1"})
        ASSERT_TRUE(testing::save_file(dir.path(name), {1, 2, 3}));
    ASSERT_TRUE(testing::save_file(dir.path("a/empty"), {}));
    ASSERT_TRUE(testing::make_fifo(dir.path("a/fifo")));
    std::filesystem::create_symlink(dir.path("a/p1"), dir.path("a/link"));

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> paths{"before"};  // not looked at
        for (const std::string& name : c.names)
            paths.push_back(name.starts_with("/") ? name : dir.path(name));
        std::vector<std::atomic<bool>> plain(paths.size());
        std::atomic<bool> stop{false};
        EXPECT_EQ(mark_listed_plain_files(paths, 1, c.least_names, plain, stop), paths.size());
        for (std::size_t i = 0; i < c.names.size(); ++i)
            EXPECT_EQ(plain[i + 1].load(), c.marked[i]) << c.names[i];
        EXPECT_FALSE(plain[0].load());

        std::vector<std::atomic<bool>> untouched(paths.size());
        stop = true;
        EXPECT_EQ(mark_listed_plain_files(paths, 1, c.least_names, untouched, stop), 1u);
        for (const std::atomic<bool>& mark : untouched)
            EXPECT_FALSE(mark.load());
    }
}

// A large folder is listed only as far as it pays: while at least half the
// plain files it lists are names of the run, and not at all where some of
// its names are marked already, by the listing that found them.
TEST(ListedPlainFiles, ListsAFolderOnlyWhileItsEntriesAreNamesOfTheRun)
{
    testing::TempDir dir;
    constexpr std::size_t files = 3000;
    std::vector<std::string> all;
    for (std::size_t i = 0; i < files; ++i) {
        all.push_back(dir.path("f" + std::to_string(i)));
        ASSERT_TRUE(testing::save_file(all.back(), {1}));
    }
    struct Sparse {
        const char* name;
        std::size_t every;  // the run names every so many files of the folder
        bool first_marked;  // the first name comes marked
        std::size_t least;  // marks at least, and at most
        std::size_t most;
    };
    const Sparse cases[] = {
        {"every file", 1, false, files, files},
        // Listed on, its first 2,400 entries would mark about 240 names.
        {"every tenth file", 10, false, 1, files / 10 / 2},
        {"marked already", 1, true, 1, 1},
    };
    for (const Sparse& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> paths;
        for (std::size_t i = 0; i < files; i += c.every)
            paths.push_back(all[i]);
        std::vector<std::atomic<bool>> plain(paths.size());
        plain[0] = c.first_marked;
        std::atomic<bool> stop{false};
        EXPECT_EQ(mark_listed_plain_files(paths, 0, 1, plain, stop), paths.size());
        std::size_t marked = 0;
        for (const std::atomic<bool>& mark : plain)
            marked += mark.load() ? 1 : 0;
        EXPECT_GE(marked, c.least);
        EXPECT_LE(marked, c.most);
    }
}

// A listing shows what lies beneath a mount, so a device mounted on a plain
// file's name lists as a plain file; it is left unmarked. Without the right
// to mount, the test is skipped.
TEST(ListedPlainFiles, LeavesUnmarkedANameSomethingIsMountedOn)
{
    testing::TempDir dir;
    std::vector<std::string> paths;
    for (const char* name : {"plain.god", "mounted on.god", "other.god"}) {
        paths.push_back(dir.path(name));
        ASSERT_TRUE(testing::save_file(paths.back(), {1, 2, 3}));
    }
    if (::mount("/dev/null", paths[1].c_str(), nullptr, MS_BIND, nullptr) != 0)
        GTEST_SKIP() << "no right to mount";
    std::vector<std::atomic<bool>> plain(paths.size());
    std::atomic<bool> stop{false};
    mark_listed_plain_files(paths, 0, 1, plain, stop);
    ::umount2(paths[1].c_str(), MNT_DETACH);
    EXPECT_TRUE(plain[0].load());
    EXPECT_FALSE(plain[1].load());
    EXPECT_TRUE(plain[2].load());
}

}  // namespace
}  // namespace tolvex
