#include "cli/expand_arguments.h"

#include <algorithm>

namespace tolvex {

namespace {

// One character of a name and the value it compares as. Two equal raw
// characters always compare equal, so only differing ones are folded.
struct Character {
    unsigned raw;
    bool double_byte;
};

Character next_character(std::string_view name, std::size_t& at, const CodePage& code_page)
{
    auto lead = static_cast<unsigned char>(name[at]);
    if (code_page.lead_byte[lead] && at + 1 < name.size()) {
        auto trail = static_cast<unsigned char>(name[at + 1]);
        at += 2;
        return {lead * 256u + trail, true};
    }
    ++at;
    return {lead, false};
}

unsigned folded(Character c, const CodePage& code_page)
{
    if (c.double_byte)
        return code_page.fold_double_byte(static_cast<unsigned char>(c.raw >> 8),
                                          static_cast<unsigned char>(c.raw));
    return code_page.fold[c.raw];
}

}  // namespace

std::optional<std::size_t> directory_part_length(std::string_view argument,
                                                 const CodePage& code_page)
{
    // Walking forward keeps to character boundaries, so a trail byte is
    // never taken for a separator.
    std::optional<std::size_t> separator;
    for (std::size_t at = 0; at < argument.size();) {
        char c = argument[at];
        if (c == '*' || c == '?') {
            if (!separator)
                return 0;
            if (argument[*separator] == ':' && *separator != 1)
                return std::nullopt;
            return *separator + 1;
        }
        if (c == '\\' || c == '/' || c == ':')
            separator = at;
        next_character(argument, at, code_page);
    }
    return std::nullopt;
}

int compare_names(std::string_view a, std::string_view b, const CodePage& code_page)
{
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        Character x = next_character(a, i, code_page);
        Character y = next_character(b, j, code_page);
        if (x.raw == y.raw && x.double_byte == y.double_byte)
            continue;
        unsigned fx = folded(x, code_page);
        unsigned fy = folded(y, code_page);
        if (fx != fy)
            return fx < fy ? -1 : 1;
    }
    return (i < a.size()) - (j < b.size());
}

void sort_names(std::vector<std::string>& names, const CodePage& code_page)
{
    std::sort(names.begin(), names.end(), [&](const std::string& a, const std::string& b) {
        int order = compare_names(a, b, code_page);
        return order != 0 ? order < 0 : a < b;
    });
}

std::vector<std::string> expand_arguments(std::vector<Argument> arguments,
                                          const CodePage& code_page, const DirectorySearch& search)
{
    std::vector<std::string> expanded;
    expanded.reserve(arguments.size());
    std::vector<std::string> names;
    for (Argument& argument : arguments) {
        std::optional<std::size_t> directory;
        if (!argument.quoted && argument.text.find_first_of("*?") != std::string::npos)
            directory = directory_part_length(argument.text, code_page);
        if (!directory) {
            expanded.push_back(std::move(argument.text));
            continue;
        }

        names.clear();
        search(argument.text, *directory, names);
        std::erase_if(names, [](const std::string& name) { return name == "." || name == ".."; });
        if (names.empty()) {
            expanded.push_back(std::move(argument.text));
            continue;
        }

        // All matches share the directory part, so sorting the bare names
        // gives the order of the whole entries.
        sort_names(names, code_page);
        std::string_view prefix(argument.text.data(), *directory);
        for (std::string& name : names) {
            if (!prefix.empty())
                name.insert(0, prefix);
            expanded.push_back(std::move(name));
        }
    }
    return expanded;
}

}  // namespace tolvex
