#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/split_command_line.h"
#include "fake_code_page.h"

namespace tolvex {
namespace {

struct Case {
    const char* line;
    std::vector<Argument> arguments;
};

std::string show(const std::vector<Argument>& arguments)
{
    std::string out;
    for (const Argument& argument : arguments)
        out += (argument.quoted ? "Q[" : "[") + argument.text + "] ";
    return out;
}

void expect_splits(const std::vector<Case>& cases, const CodePage& code_page)
{
    for (const Case& c : cases)
        EXPECT_EQ(show(split_command_line(c.line, code_page)), show(c.arguments))
            << "command line: " << c.line;
}

TEST(SplitCommandLine, ProgramNameAndSeparators)
{
    expect_splits(
        {
            {"p a b", {{"p"}, {"a"}, {"b"}}},
            {"p  a\t\t b \t", {{"p"}, {"a"}, {"b"}}},
            {"p\ta", {{"p"}, {"a"}}},
            {"p", {{"p"}}},
            {"", {{""}}},
            {" a", {{""}, {"a"}}},
            // The program name drops its quotes and keeps every backslash.
            {"\"C:\\Program Files\\t.exe\" x", {{"C:\\Program Files\\t.exe", true}, {"x"}}},
            {"a\\\"b c\" d", {{"a\\b c"}, {"d"}}},
            {"p\"q r\"s t", {{"pq rs"}, {"t"}}},
        },
        single_byte_code_page());
}

TEST(SplitCommandLine, BackslashesAndQuotes)
{
    expect_splits(
        {
            {"p a\\\\\\\\\"b c\"", {{"p"}, {"a\\\\b c"}}},   // 2n before a quote: n, quote toggles
            {"p a\\\\\\\"b c", {{"p"}, {"a\\\"b"}, {"c"}}},  // 2n+1: n and a literal quote
            {"p \\\"a", {{"p"}, {"\"a"}}},  // an escaped quote does not mark the argument
            {"p a\\\\b \\\\\\",
             {{"p"}, {"a\\\\b"}, {"\\\\\\"}}},  // elsewhere copied, also at the end
            {"p \"a\\\"b\"", {{"p"}, {"a\"b", true}}},
            {"p \"a\\\\\"b", {{"p"}, {"a\\b", true}}},
            {"p \"a\\\\\"\"b\"",
             {{"p"}, {"a\\\"b", true}}},  // the quote after 2n counts towards a pair
        },
        single_byte_code_page());
}

TEST(SplitCommandLine, QuotedStretches)
{
    expect_splits(
        {
            {"p \"a b\" \"\" c", {{"p"}, {"a b", true}, {"", true}, {"c"}}},
            {"p \"\"", {{"p"}, {"", true}}},
            // Two quotes inside a stretch give one and end the stretch.
            {"p \"a\"\"b c\"", {{"p"}, {"a\"b", true}, {"c"}}},
            {"p \"\"\"", {{"p"}, {"\"", true}}},
            {"p a\"\"\"\"", {{"p"}, {"a\""}}},
            {"p \"\"\"\"\"\"", {{"p"}, {"\"\"", true}}},
            {"p \"a b", {{"p"}, {"a b", true}}},
            {"p a\"b c\"d", {{"p"}, {"ab cd"}}},
            {"p \"a\tb\"", {{"p"}, {"a\tb", true}}},
        },
        single_byte_code_page());
}

TEST(SplitCommandLine, LeadBytesTakeTheNextByteWithThem)
{
    auto page = testing::fake_double_byte_code_page();
    expect_splits(
        {
            {"p \x81\"a b", {{"p"}, {"\x81\"a"}, {"b"}}},
            {"p \x81\\\"x y\"", {{"p"}, {"\x81\\x y"}}},
            {"p \x81 a", {{"p"}, {"\x81 a"}}},
            {"p \x81\tb \xFF", {{"p"}, {"\x81\tb"}, {"\xFF"}}},
            {"p a\x81", {{"p"}, {"a\x81"}}},
            {"\x81\" x", {{"\x81\""}, {"x"}}},
        },
        page);
    // The same lines without a double-byte code page.
    expect_splits(
        {
            {"p \x81\"a b",
             {{"p"},
              {"\x81"
               "a b"}}},
            {"p \x81\\\"x y\"", {{"p"}, {"\x81\"x"}, {"y"}}},
            {"\x81\" x", {{"\x81 x"}}},
        },
        single_byte_code_page());
}

}  // namespace
}  // namespace tolvex
