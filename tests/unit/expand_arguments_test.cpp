#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <new>
#include <string>
#include <vector>

#include "cli/expand_arguments.h"
#include "fake_code_page.h"

namespace tolvex {
namespace {

const CodePage single = single_byte_code_page();

std::vector<Argument> plain(const std::vector<std::string>& texts)
{
    std::vector<Argument> arguments;
    for (const std::string& text : texts)
        arguments.push_back({text, false});
    return arguments;
}

TEST(DirectoryPart, IsTheTextUpToTheLastSeparatorBeforeTheFirstWildcard)
{
    const std::optional<std::size_t> keep;
    const std::vector<std::pair<const char*, std::optional<std::size_t>>> cases = {
        {"*.x", 0},      {"a?", 0},        {"sub/*.x", 4},    {"sub\\*.x", 4}, {"a/b\\c?/d*", 4},
        {"/*", 1},       {"\\x*", 1},      {"C:*.x", 2},      {"a:b*", 2},     {"C:\\d\\*.x", 5},
        {"x:y/z*", 4},   {"d*/a.x", 0},  // separators after the first wildcard are not looked at
        {"ab:c*", keep},                 // a colon that is no drive letter's
        {":*", keep},    {"a/b:c*", keep}, {"plain.x", keep}, {"", keep},
    };
    for (const auto& [argument, length] : cases)
        EXPECT_EQ(directory_part_length(argument, single), length) << argument;
}

TEST(DirectoryPart, NeverEndsOnATrailByte)
{
    auto page = testing::fake_double_byte_code_page();
    EXPECT_EQ(directory_part_length("\x81\\*", page), 0u);
    EXPECT_EQ(directory_part_length("a\x81\\"
                                    "b\\*",
                                    page),
              5u);
    EXPECT_EQ(directory_part_length("\x81:*", page), 0u);
    EXPECT_EQ(directory_part_length("\x81\\*", single), 2u);
    EXPECT_EQ(directory_part_length("\x81:*", single), 2u);
}

TEST(CompareNames, FoldsAsciiLettersOnlyAndComparesUnsigned)
{
    EXPECT_EQ(compare_names("A.x", "a.x", single), 0);
    EXPECT_EQ(compare_names("READ.ME", "read.me", single), 0);
    EXPECT_LT(compare_names("_a", "a", single), 0);
    EXPECT_LT(compare_names("_", "A", single), 0);  // as raw bytes "A" would come first
    EXPECT_LT(compare_names("[", "Z", single), 0);
    EXPECT_LT(compare_names("9", "a", single), 0);
    EXPECT_LT(compare_names("a", "ab", single), 0);
    EXPECT_GT(compare_names("ab", "A", single), 0);
    EXPECT_EQ(compare_names("", "", single), 0);
    EXPECT_GT(compare_names("\xE9", "z", single), 0);
    EXPECT_NE(compare_names("\xC9", "\xE9", single), 0);
}

TEST(CompareNames, UnderADoubleByteCodePage)
{
    auto page = testing::fake_double_byte_code_page();
    EXPECT_EQ(compare_names("\x82\x81", "\x82\x60", page), 0);
    EXPECT_LT(compare_names("\x82\x60"
                            "a",
                            "\x82\x81"
                            "B",
                            page),
              0);
    // A two-byte character compares as one value with its first byte high.
    EXPECT_LT(compare_names("\xFF", "\x82\x60", page), 0);
    EXPECT_GT(compare_names("\xFF", "\x82\x60", single), 0);
    // A trail byte that looks like a letter is not folded on its own.
    EXPECT_NE(compare_names("\x81"
                            "A",
                            "\x81"
                            "a",
                            page),
              0);
    EXPECT_EQ(compare_names("\x81"
                            "A",
                            "\x81"
                            "a",
                            single),
              0);
    EXPECT_EQ(compare_names("\xC0", "\xE0", page), 0);
    EXPECT_NE(compare_names("\xC0", "\xE0", single), 0);
}

TEST(SortNames, GivesOneOrderWhateverTheInputOrder)
{
    std::vector<std::string> names = {"b.x", "A.x", "a.x", "_a.x", "c.x", "10.x", "B.x"};
    const std::vector<std::string> sorted = {"10.x", "_a.x", "A.x", "a.x", "B.x", "b.x", "c.x"};
    std::sort(names.begin(), names.end());
    do {
        auto copy = names;
        sort_names(copy, single);
        ASSERT_EQ(copy, sorted);
    } while (std::next_permutation(names.begin(), names.end()));
}

// The order sort_names must give: compare_names, ties by raw bytes.
std::vector<std::string> sorted_by_compare_names(std::vector<std::string> names,
                                                 const CodePage& page)
{
    std::sort(names.begin(), names.end(), [&](const std::string& a, const std::string& b) {
        int order = compare_names(a, b, page);
        return order != 0 ? order < 0 : a < b;
    });
    return names;
}

TEST(SortNames, FollowsCompareNamesThenRawBytes)
{
    using namespace std::string_literals;
    struct Case {
        const char* what;
        CodePage page;
        // Sorted all together; the groups only show what each name is for.
        std::vector<std::vector<std::string>> groups;
    };
    const std::vector<Case> cases = {
        {"single-byte",
         single,
         {{"read.me", "READ.ME", "Read.Me", "rEAD.mE"},                     // equal but for case
          {"", "a", "A", "ab", "aB", "abc", "ab\0"s, "ab\0\0"s, "ab\x01"},  // prefixes, zero bytes
          // 7 to 9 bytes
          {"abcdefg", "abcdefgh", "ABCDEFGH", "ABCDEFGHI", "abcdefghi", "abcdefgh0"},
          {"longname", "LONGNAME.GOD", "longname.goa", "longname.god", "longnamE_"},  // alike in 8
          {"\xFF", "\xFFz", "\x80", "z", "Z_", "\xE9t\xE9", "\xC9T\xC9", "\xC9t", "_", "[", "9"},
          // alike in 16 bytes and more, and equal but for case past them
          {"Every design 2026", "every design 2026 a", "EVERY DESIGN 2026 B", "every design 2026 b",
           "every design 2026 ab", "Every Design 2026 Ab0123456789",
           "every design 2026 ab0123456789x", "every design 2026 AB0123456789"}}},
        // Each character is two key bytes here, so 8 bytes are 4 characters.
        {"double-byte",
         testing::fake_double_byte_code_page(),
         {{"\x82\x81", "\x82\x60", "\x82\x81x", "\x82\x60X", "\xC0", "\xE0", "\xC0x", "\xE0X"},
          {"\xFF", "\x82\x40", "\x9F\xFF", "a", "a\0"s},  // two bytes against one
          {"\x81G", "\x81g", "\x81Gh", "\x81gG"},         // trail bytes that look like letters
          {"ab\x82", "AB\x82", "ab\x82\x40", "ab\x83", "ab\x7F", "\x9F"},  // a lone lead byte
          // alike in 8 key bytes, and two-byte characters across the eighth
          {"abcd", "ABCDx", "abcdX", "abcde", "abc\x82\x81", "abc\x82\x60", "abc\x82\x81z"},
          {"abcd\x82\x81", "abcd\x82\x60", "\x82\x81\x82\x82zz", "\x82\x60\x82\x61zZ",
           "\x82\x81\x82\x82z"}}},
    };
    for (const auto& [what, page, groups] : cases) {
        std::vector<std::string> names;
        for (const std::vector<std::string>& group : groups)
            names.insert(names.end(), group.begin(), group.end());
        const std::vector<std::string> expected = sorted_by_compare_names(names, page);
        sort_names(names, page);
        EXPECT_EQ(names, expected) << what << ", as given";
        std::vector<std::string> reversed(expected.rbegin(), expected.rend());
        sort_names(reversed, page);
        EXPECT_EQ(reversed, expected) << what << ", reversed";
    }
}

// A directory search over fixed data that records what it was asked.
struct FakeSearch {
    explicit FakeSearch(std::map<std::string, std::vector<std::string>> given)
        : entries(std::move(given))
    {
    }

    std::map<std::string, std::vector<std::string>> entries;
    std::map<std::string, std::vector<bool>> plain;  // what the listing tells of them
    std::vector<std::string> asked;
    std::vector<std::string> asked_directories;

    DirectorySearch function()
    {
        return [this](const std::string& pattern, std::size_t directory_length,
                      std::vector<std::string>& names, std::vector<bool>& plain_names) {
            asked.push_back(pattern);
            asked_directories.push_back(pattern.substr(0, directory_length));
            auto found = entries.find(pattern);
            if (found != entries.end())
                for (const std::string& name : found->second)
                    names.push_back(pattern.substr(0, directory_length) + name);
            auto told = plain.find(pattern);
            if (told != plain.end())
                plain_names.insert(plain_names.end(), told->second.begin(), told->second.end());
        };
    }
};

// What the listing told of each match goes with it to its sorted place; of
// a search that told nothing, or not of every name, no match is taken for a
// plain file, nor is any argument that is not a match.
TEST(ExpandArguments, TellsOfEachArgumentWhetherItsListingFoundAPlainFile)
{
    FakeSearch search{{{"*.x", {"c.x", ".", "a.x", "..", "B.x"}},
                       {"*.y", {"b.y", "a.y"}},
                       {"*.z", {"b.z", "a.z"}}}};
    search.plain = {{"*.x", {true, true, false, true, true}}, {"*.y", {true}}};
    std::vector<bool> listed_plain{true};
    auto expanded = expand_arguments(plain({"t", "*.x", "typed", "*.y", "*.z", "none*"}), single,
                                     search.function(), &listed_plain);
    EXPECT_EQ(expanded, (std::vector<std::string>{"t", "a.x", "B.x", "c.x", "typed", "a.y", "b.y",
                                                  "a.z", "b.z", "none*"}));
    EXPECT_EQ(listed_plain, (std::vector<bool>{false, false, true, true, false, false, false, false,
                                               false, false}));
}

TEST(ExpandArguments, ReplacesEachPatternByItsSortedMatches)
{
    FakeSearch search{{{"*.x", {".", "..", "b.x", "c.x", "A.x"}}, {"*.y", {"0.y"}}}};
    auto expanded =
        expand_arguments(plain({"tolvex", "*.x", "z", "*.y"}), single, search.function());
    EXPECT_EQ(expanded, (std::vector<std::string>{"tolvex", "A.x", "b.x", "c.x", "z", "0.y"}));
    EXPECT_EQ(search.asked, (std::vector<std::string>{"*.x", "*.y"}));
}

TEST(ExpandArguments, KeepsTheDirectoryPartAsTyped)
{
    FakeSearch search{{{"Sub\\d/*.X", {"b.x", "a.x"}}, {"C:*", {"f"}}}};
    auto expanded = expand_arguments(plain({"t", "Sub\\d/*.X", "C:*"}), single, search.function());
    EXPECT_EQ(expanded, (std::vector<std::string>{"t", "Sub\\d/a.x", "Sub\\d/b.x", "C:f"}));
    EXPECT_EQ(search.asked_directories, (std::vector<std::string>{"Sub\\d/", "C:"}));
}

TEST(ExpandArguments, KeepsWhatIsNotToBeExpanded)
{
    FakeSearch search{{{"*.x", {"a.x"}}, {"ab:c*", {"ab:cd"}}}};
    std::vector<Argument> arguments = {{"t"},     {"*.x", true}, {"ab:c*"},
                                       {"none*"}, {"dots?"},     {"-x"}};
    search.entries["dots?"] = {".", ".."};
    auto expanded = expand_arguments(arguments, single, search.function());
    EXPECT_EQ(expanded, (std::vector<std::string>{"t", "*.x", "ab:c*", "none*", "dots?", "-x"}));
    EXPECT_EQ(search.asked, (std::vector<std::string>{"none*", "dots?"}));
}

TEST(ExpandArguments, ExpandsTheProgramNameToo)
{
    FakeSearch search{{{"tol*", {"tolvex", "tol"}}}};
    EXPECT_EQ(expand_arguments(plain({"tol*", "a"}), single, search.function()),
              (std::vector<std::string>{"tol", "tolvex", "a"}));
}

TEST(ExpandArguments, PassesRunningOutOfMemoryOn)
{
    DirectorySearch failing = [](const std::string&, std::size_t, std::vector<std::string>& names,
                                 std::vector<bool>&) {
        names.push_back("a.x");
        throw std::bad_alloc();
    };
    EXPECT_THROW(expand_arguments(plain({"t", "*.x"}), single, failing), std::bad_alloc);
}

}  // namespace
}  // namespace tolvex
