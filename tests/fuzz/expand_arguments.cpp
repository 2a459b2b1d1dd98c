// Fuzz target: the wildcard logic that works on data. The first byte picks
// the code page; the first line is a list of arguments separated by tabs
// (one that begins with a double quote counts as quoted), and every further
// line is a name the directory search returns. Checked: the order of names
// is a total order that the sort follows, the directory part ends at a
// separator before the first wildcard, and expansion keeps, replaces and
// orders arguments as it should.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/expand_arguments.h"
#include "fake_code_page.h"
#include "fuzz_check.h"

namespace tolvex {
namespace {

using fuzz::require;

std::vector<std::string> split(std::string_view text, char separator)
{
    std::vector<std::string> parts;
    for (std::size_t start = 0;;) {
        std::size_t end = text.find(separator, start);
        parts.emplace_back(text.substr(start, end - start));
        if (end == std::string_view::npos)
            return parts;
        start = end + 1;
    }
}

bool same_names(std::vector<std::string> a, std::vector<std::string> b)
{
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    return a == b;
}

int sign(int value)
{
    return (value > 0) - (value < 0);
}

void check_order(const std::vector<std::string>& names, const CodePage& code_page)
{
    std::size_t n = std::min<std::size_t>(names.size(), 12);
    for (std::size_t i = 0; i < n; ++i) {
        require(compare_names(names[i], names[i], code_page) == 0, "a name equals itself");
        for (std::size_t j = 0; j < n; ++j)
            require(sign(compare_names(names[i], names[j], code_page)) ==
                        -sign(compare_names(names[j], names[i], code_page)),
                    "the order is antisymmetric");
    }

    std::vector<std::string> sorted = names;
    sort_names(sorted, code_page);
    require(same_names(sorted, names), "sorting keeps every name");
    for (std::size_t i = 1; i < sorted.size(); ++i) {
        int order = compare_names(sorted[i - 1], sorted[i], code_page);
        require(order < 0 || (order == 0 && sorted[i - 1] <= sorted[i]),
                "sorted names are in order, ties by their bytes");
    }
}

void check_directory_part(const std::string& argument, const CodePage& code_page, bool single_byte)
{
    std::size_t wildcard = argument.find_first_of("*?");
    std::optional<std::size_t> length = directory_part_length(argument, code_page);
    if (wildcard == std::string::npos) {
        require(!length, "an argument without a wildcard is no pattern");
        return;
    }
    if (length)
        require(*length == 0 || argument.find_first_of("\\/:", *length - 1) == *length - 1,
                "the directory part ends at a separator");
    if (!single_byte)
        return;  // a trail byte may look like a separator or a wildcard
    if (length)
        require(*length <= wildcard, "the directory part ends before the first wildcard");
    std::size_t separator = argument.find_last_of("\\/:", wildcard);
    if (separator == std::string::npos)
        require(length == 0u, "a pattern with no separator has no directory part");
    else if (argument[separator] == ':' && separator != 1)
        require(!length, "a colon that is no drive letter's keeps the argument");
    else
        require(length == separator + 1, "the directory part runs to the nearest separator");
}

}  // namespace
}  // namespace tolvex

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tolvex;
    if (size == 0)
        return 0;
    bool single_byte = (data[0] & 1) == 0;
    const CodePage code_page =
        single_byte ? single_byte_code_page() : testing::fake_double_byte_code_page();
    std::vector<std::string> lines =
        split(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1), '\n');
    std::vector<std::string> names(lines.begin() + 1, lines.end());

    check_order(names, code_page);

    std::vector<Argument> arguments;
    for (std::string& text : split(lines[0], '\t')) {
        bool quoted = !text.empty() && text[0] == '"';
        arguments.push_back({quoted ? text.substr(1) : text, quoted});
        check_directory_part(arguments.back().text, code_page, single_byte);
    }

    std::vector<std::string> matches;
    for (const std::string& name : names)
        if (name != "." && name != "..")
            matches.push_back(name);
    std::vector<std::pair<std::string, std::size_t>> searched;
    std::vector<std::string> expanded =
        expand_arguments(arguments, code_page,
                         [&](const std::string& pattern, std::size_t directory_length,
                             std::vector<std::string>& found, std::vector<bool>&) {
                             searched.emplace_back(pattern, directory_length);
                             for (const std::string& name : names)
                                 found.push_back(pattern.substr(0, directory_length) + name);
                         });

    std::size_t at = 0;
    std::size_t searches = 0;
    for (const Argument& argument : arguments) {
        std::optional<std::size_t> length;
        if (!argument.quoted)
            length = directory_part_length(argument.text, code_page);
        if (!length || matches.empty()) {
            require(at < expanded.size() && expanded[at] == argument.text,
                    "an argument that is no pattern, or matches nothing, stays as it is");
            ++at;
            searches += length ? 1 : 0;
            continue;
        }
        require(searched.at(searches++) == std::pair(argument.text, *length),
                "the search gets the whole pattern and the length of its directory part");
        std::string prefix = argument.text.substr(0, *length);
        require(expanded.size() - at >= matches.size(), "every match is added");
        std::vector<std::string> added(expanded.begin() + static_cast<std::ptrdiff_t>(at),
                                       expanded.begin() +
                                           static_cast<std::ptrdiff_t>(at + matches.size()));
        for (std::string& entry : added) {
            require(entry.compare(0, prefix.size(), prefix) == 0,
                    "a match keeps the directory part");
            entry.erase(0, prefix.size());
        }
        require(same_names(added, matches),
                "a pattern gives exactly its matches, without . and ..");
        for (std::size_t i = 1; i < added.size(); ++i)
            require(compare_names(added[i - 1], added[i], code_page) <= 0,
                    "a pattern's matches are sorted");
        at += matches.size();
    }
    require(at == expanded.size(), "nothing else is added");
    require(searches == searched.size(), "only patterns are searched");
    return 0;
}
