#include <gtest/gtest.h>

#include <string>

#include "cli/name_pattern.h"

namespace tolvex {
namespace {

bool matches(const std::string& pattern, const std::string& name)
{
    return name_matches(make_name_pattern(pattern), name);
}

TEST(NamePattern, StarAndQuestionMark)
{
    EXPECT_TRUE(matches("*", ""));
    EXPECT_TRUE(matches("*", "."));
    EXPECT_TRUE(matches("*", ".."));
    EXPECT_TRUE(matches("*.x", "a.x"));
    EXPECT_TRUE(matches("*.x", ".x"));
    EXPECT_FALSE(matches("*.x", "a.xy"));
    EXPECT_FALSE(matches("*.x", "a.X"));
    EXPECT_TRUE(matches("a*b*c", "aXbYc"));
    EXPECT_TRUE(matches("a*b*c", "abcbc"));
    EXPECT_FALSE(matches("a*b*c", "acb"));
    EXPECT_TRUE(matches("*a", "baa"));
    EXPECT_TRUE(matches("ab**", "ab"));
    EXPECT_TRUE(matches("?.x", "a.x"));
    EXPECT_FALSE(matches("?.x", ".x"));
    EXPECT_FALSE(matches("?.x", "ab.x"));
    EXPECT_FALSE(matches("?", "\xC3\xA9"));
    EXPECT_TRUE(matches("??", "\xC3\xA9"));
    EXPECT_FALSE(matches("", "a"));
}

TEST(NamePattern, EveryOtherByteIsItself)
{
    EXPECT_TRUE(matches("[a]*", "[a].x"));
    EXPECT_FALSE(matches("[ab]*", "a.x"));
    EXPECT_TRUE(matches("\\*", "\\x"));
    EXPECT_FALSE(matches("\\*", "*"));
    EXPECT_TRUE(matches("ab:c*", "ab:cd"));
}

TEST(NamePattern, HostilePatternsStayCheap)
{
    const std::string name(255, 'a');
    EXPECT_FALSE(matches(std::string(5000, '*') + "b", name));
    std::string stars_and_letters;
    for (int i = 0; i < 2000; ++i)
        stars_and_letters += "*a";
    EXPECT_FALSE(matches(stars_and_letters, name));
    EXPECT_TRUE(matches(stars_and_letters.substr(0, 500) + "*", name));
    EXPECT_FALSE(matches("*" + std::string(127, 'a') + "b*", name));
    EXPECT_FALSE(matches(std::string(6000, '?'), name));
}

}  // namespace
}  // namespace tolvex
