// Fuzz target: the command-line splitter. The first byte picks the code page
// (single-byte, or the tests' double-byte one); the rest, up to a zero byte,
// is the command line. Checked: every byte other than quotes, backslashes,
// blanks and tabs comes out once, in order; quotes and backslashes are only
// ever removed; and arguments quoted the usual way split back to themselves.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cli/split_command_line.h"
#include "fake_code_page.h"
#include "fuzz_check.h"

namespace tolvex {
namespace {

using fuzz::require;

bool special(char c)
{
    return c == '"' || c == '\\' || c == ' ' || c == '\t';
}

std::string plain_bytes(std::string_view text)
{
    std::string out;
    std::copy_if(text.begin(), text.end(), std::back_inserter(out),
                 [](char c) { return !special(c); });
    return out;
}

// Quotes one argument so that the splitter gives it back unchanged: inside
// quotes, backslashes before a quote or the closing quote are doubled and a
// quote is escaped.
std::string quote(const std::string& text)
{
    std::string out = "\"";
    std::size_t backslashes = 0;
    for (char c : text) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        out.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    out.append(2 * backslashes, '\\');
    return out + "\"";
}

}  // namespace
}  // namespace tolvex

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tolvex;
    if (size == 0)
        return 0;
    const CodePage code_page =
        data[0] & 1 ? testing::fake_double_byte_code_page() : single_byte_code_page();
    std::string_view line(reinterpret_cast<const char*>(data + 1), size - 1);
    line = line.substr(0, line.find('\0'));

    std::vector<Argument> arguments = split_command_line(line, code_page);
    require(!arguments.empty(), "there is always a program name");

    std::string joined;
    for (const Argument& argument : arguments)
        joined += argument.text;
    require(plain_bytes(joined) == plain_bytes(line), "ordinary bytes are kept once, in order");
    require(std::count(joined.begin(), joined.end(), '"') <=
                std::count(line.begin(), line.end(), '"'),
            "no quote is invented");
    require(std::count(joined.begin(), joined.end(), '\\') <=
                std::count(line.begin(), line.end(), '\\'),
            "no backslash is invented");

    if (data[0] & 1)
        return 0;  // the usual quoting knows nothing of lead bytes
    std::string requoted = "p";
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        requoted += ' ';
        requoted += quote(arguments[i].text);
    }
    std::vector<Argument> again = split_command_line(requoted, code_page);
    require(again.size() == arguments.size(), "quoted arguments split into as many");
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        require(again[i].text == arguments[i].text, "a quoted argument splits back to itself");
        require(again[i].quoted, "a quoted argument is marked quoted");
    }
    return 0;
}
