#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "cli/directory_search.h"
#include "cli/expand_arguments.h"
#include "fifo.h"
#include "temp_dir.h"

namespace tolvex {
namespace {

namespace fs = std::filesystem;

const CodePage single = single_byte_code_page();

// Folders and files whose names hold the characters a pattern treats
// specially, so that a search of the wrong folder finds something.
const std::vector<std::string> tree_folders = {"d*", "s?b", "x\\", "a:", "sub", "sub/in"};
const std::vector<std::string> tree_files = {"a.x",     "b.x",     "ab",        "x\\y.x",  "a:bc",
                                             "d*/a.x",  "d*/b.y",  "s?b/k.x",   "x\\/y.x", "a:/bc",
                                             "sub/a.x", "sub/B.x", "sub/in/c.x"};

// Runs the expansion, with the real search, in a fresh folder holding the
// tree; the current folder is restored afterwards.
class SearchTree : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = fs::current_path();
        fs::current_path(temp_.path(""));
        for (const std::string& folder : tree_folders)
            fs::create_directory(folder);
        for (const std::string& file : tree_files)
            std::ofstream{file};
    }
    void TearDown() override { fs::current_path(saved_); }

    static std::vector<std::string> expand(const std::string& pattern)
    {
        std::vector<std::string> expanded =
            expand_arguments({{"tolvex"}, {pattern}}, single, search_directory);
        expanded.erase(expanded.begin());
        return expanded;
    }

private:
    testing::TempDir temp_;
    fs::path saved_;
};

// "*" any run of bytes, "?" exactly one, every other byte itself.
bool glob(std::string_view pattern, std::string_view name)
{
    if (pattern.empty())
        return name.empty();
    if (pattern[0] == '*')
        return glob(pattern.substr(1), name) || (!name.empty() && glob(pattern, name.substr(1)));
    return !name.empty() && (pattern[0] == '?' || pattern[0] == name[0]) &&
           glob(pattern.substr(1), name.substr(1));
}

// What the expansion of `pattern` must give: the entries of the folder the
// directory part names that match the rest, each behind the directory part;
// the pattern itself when there are none.
std::vector<std::string> expected_expansion(const std::string& pattern)
{
    std::optional<std::size_t> length = directory_part_length(pattern, single);
    std::vector<std::string> found;
    if (length) {
        std::string directory = pattern.substr(0, *length);
        std::string rest = pattern.substr(*length);
        bool linux_folder = directory.empty() || directory.back() == '/';
        std::error_code error;
        fs::directory_iterator entries(directory.empty() ? "." : directory, error);
        if (linux_folder && rest.find('/') == std::string::npos && !error) {
            for (const fs::directory_entry& entry : entries) {
                std::string name = entry.path().filename().string();
                if (glob(rest, name))
                    found.push_back(directory + name);
            }
        }
    }
    if (found.empty())
        return {pattern};
    sort_names(found, single);
    return found;
}

TEST_F(SearchTree, NamesOnlyEntriesOfTheFolderTheDirectoryPartNames)
{
    struct Case {
        const char* pattern;
        std::vector<std::string> expanded;
    };
    const std::vector<Case> cases = {
        {"*.x", {"a.x", "b.x", "x\\y.x"}},
        {"sub/*.x", {"sub/a.x", "sub/B.x"}},
        {"sub/in/?.x", {"sub/in/c.x"}},
        {"a:b*", {"a:b*"}},      // "a:" is a drive's name, no Linux folder
        {"x\\*", {"x\\*"}},      // likewise a folder part ending in "\"
        {"x\\/*", {"x\\/y.x"}},  // the folder named "x\"
        {"d*/a.x", {"d*/a.x"}},  // a wildcard in a folder's name
        {"s?b/k.x", {"s?b/k.x"}},
        {"sub/i*/c.x", {"sub/i*/c.x"}},
        {"?:/*", {"?:/*"}},
        {"d\\*/*", {"d\\*/*"}},
        {"none/*", {"none/*"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(expand(c.pattern), c.expanded) << c.pattern;
}

// Patterns made from the tree's own paths, with characters turned into
// wildcards and separators, match exactly what the rule says.
TEST_F(SearchTree, ExpansionFollowsTheRuleForAnyPattern)
{
    std::vector<std::string> paths = tree_folders;
    paths.insert(paths.end(), tree_files.begin(), tree_files.end());
    const std::string replacements = "*?*?/\\:ab";
    std::mt19937 random(9);
    for (int round = 0; round < 3000; ++round) {
        std::string pattern = paths[random() % paths.size()];
        for (char& c : pattern)
            if (random() % 4 == 0)
                c = replacements[random() % replacements.size()];
        if (pattern.find_first_of("*?") == std::string::npos)
            pattern += '*';
        ASSERT_EQ(expand(pattern), expected_expansion(pattern)) << pattern;
    }
}

// Of each match, the search tells whether its folder lists it as a plain
// file: not a folder, a FIFO or a link, nor any entry of a folder whose
// files are made up as they are read.
TEST_F(SearchTree, TellsWhichMatchesTheirFolderListsAsPlainFiles)
{
    ASSERT_TRUE(testing::make_fifo("sub/fifo"));
    fs::create_symlink("a.x", "sub/link");
    struct Case {
        const char* pattern;
        std::vector<std::string> plain;
    };
    const std::vector<Case> cases = {
        {"sub/*", {"sub/a.x", "sub/B.x"}},
        {"*", {"a.x", "a:bc", "ab", "b.x", "x\\y.x"}},
        {"/proc/self/s*", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pattern);
        std::vector<bool> listed_plain;
        std::vector<std::string> expanded =
            expand_arguments({{"tolvex"}, {c.pattern}}, single, search_directory, &listed_plain);
        ASSERT_GT(expanded.size(), 2u);
        ASSERT_EQ(listed_plain.size(), expanded.size());
        std::vector<std::string> plain;
        for (std::size_t i = 0; i < expanded.size(); ++i)
            if (listed_plain[i])
                plain.push_back(expanded[i]);
        EXPECT_EQ(plain, c.plain);
    }
}

}  // namespace
}  // namespace tolvex
