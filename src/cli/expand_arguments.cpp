#include "cli/expand_arguments.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <numeric>
#include <span>

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

// A name's place in the sort: 8 bytes of its key (the first, then the next
// where those are alike in others), big-endian and padded with zeros, and
// where the name is. Heads that differ order the keys as the keys
// themselves would (padding sorts a shorter key first, as the prefix rule
// does), so most comparisons are of two integers.
struct SortEntry {
    std::uint64_t head;
    std::size_t index;
};

// Appends the values the name's characters compare as: a byte each, or, under
// a code page with lead bytes, two bytes each with the high one first, so
// that keys compared as unsigned bytes, a prefix first, order their names as
// compare_names does.
void append_key(std::string& keys, std::string_view name, const CodePage& code_page,
                bool two_byte_values)
{
    if (!two_byte_values) {
        std::transform(name.begin(), name.end(), std::back_inserter(keys), [&](char c) {
            return static_cast<char>(code_page.fold[static_cast<unsigned char>(c)]);
        });
        return;
    }
    for (std::size_t at = 0; at < name.size();) {
        unsigned value = folded(next_character(name, at, code_page), code_page);
        keys.push_back(static_cast<char>(value >> 8));
        keys.push_back(static_cast<char>(value & 0xFF));
    }
}

// The first 8 bytes of a key as a big-endian integer, zeros past its end.
std::uint64_t head_of(std::string_view key)
{
    std::uint64_t head = 0;
    for (std::size_t i = 0; i < 8; ++i)
        head = head << 8 | (i < key.size() ? static_cast<unsigned char>(key[i]) : 0u);
    return head;
}

// Every name's key, one after another, and where each begins.
struct SortKeys {
    std::string bytes;
    std::vector<std::size_t> starts;  // and the end of the last

    std::string_view key(std::size_t i) const
    {
        return std::string_view(bytes).substr(starts[i], starts[i + 1] - starts[i]);
    }
};

// Sorts `entries`, whose keys are alike in their first `at` bytes and whose
// heads are their next 8, by their heads, then each run of equal heads by
// the 8 bytes after those, and so on: the names of one folder are often
// alike in a long prefix ("Design 0001", "Design 0002"), and integers tell
// them apart for less than comparing whole keys does. A run in which some
// key ends is sorted by whole keys, equal keys by the names' own bytes.
void sort_by_heads(std::span<SortEntry> entries, std::size_t at, const SortKeys& keys,
                   const std::vector<std::string>& names)
{
    std::sort(entries.begin(), entries.end(),
              [](const SortEntry& a, const SortEntry& b) { return a.head < b.head; });
    for (auto run = entries.begin(); run != entries.end();) {
        std::uint64_t head = run->head;
        auto end = std::find_if(run, entries.end(),
                                [head](const SortEntry& entry) { return entry.head != head; });
        std::span<SortEntry> tied(run, end);
        run = end;
        if (tied.size() < 2)
            continue;
        std::size_t next = at + sizeof head;
        bool keys_go_on = std::ranges::all_of(
            tied, [&](const SortEntry& entry) { return keys.key(entry.index).size() > next; });
        if (!keys_go_on) {
            std::sort(tied.begin(), tied.end(), [&](const SortEntry& a, const SortEntry& b) {
                int order = keys.key(a.index).compare(keys.key(b.index));
                return order != 0 ? order < 0 : names[a.index] < names[b.index];
            });
            continue;
        }
        for (SortEntry& entry : tied)
            entry.head = head_of(keys.key(entry.index).substr(next));
        sort_by_heads(tied, next, keys, names);
    }
}

// The names' sorted order, by what follows their first `shared` bytes, which
// are the same in all. Each name is folded once, into a key, rather than at
// every comparison; the keys are freed on return.
std::vector<SortEntry> sorted_order(const std::vector<std::string>& names, std::size_t shared,
                                    const CodePage& code_page)
{
    bool two_byte_values = std::ranges::any_of(code_page.lead_byte, [](bool lead) { return lead; });
    std::size_t name_bytes =
        std::transform_reduce(names.begin(), names.end(), std::size_t{0}, std::plus<>(),
                              [](const std::string& name) { return name.size(); });
    SortKeys keys;
    keys.bytes.reserve(two_byte_values ? 2 * name_bytes : name_bytes);
    keys.starts.reserve(names.size() + 1);
    std::vector<SortEntry> entries;
    entries.reserve(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        keys.starts.push_back(keys.bytes.size());
        append_key(keys.bytes, std::string_view(names[i]).substr(shared), code_page,
                   two_byte_values);
        entries.push_back({head_of(std::string_view(keys.bytes).substr(keys.starts.back())), i});
    }
    keys.starts.push_back(keys.bytes.size());
    sort_by_heads(entries, 0, keys, names);
    return entries;
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
    if (names.size() < 2)
        return;
    std::vector<SortEntry> order = sorted_order(names, 0, code_page);
    std::vector<std::string> sorted;
    sorted.reserve(names.size());
    std::transform(order.begin(), order.end(), std::back_inserter(sorted),
                   [&](const SortEntry& entry) { return std::move(names[entry.index]); });
    names = std::move(sorted);
}

std::vector<std::string> expand_arguments(std::vector<Argument> arguments,
                                          const CodePage& code_page, const DirectorySearch& search,
                                          std::vector<bool>* listed_plain)
{
    std::vector<std::string> expanded;
    expanded.reserve(arguments.size());
    std::vector<bool> plain_expanded;
    std::vector<std::string> names;
    std::vector<bool> plain;
    for (Argument& argument : arguments) {
        std::optional<std::size_t> directory;
        if (!argument.quoted && argument.text.find_first_of("*?") != std::string::npos)
            directory = directory_part_length(argument.text, code_page);
        if (!directory) {
            expanded.push_back(std::move(argument.text));
            plain_expanded.push_back(false);
            continue;
        }

        names.clear();
        plain.clear();
        search(argument.text, *directory, names, plain);
        if (plain.size() != names.size())
            plain.assign(names.size(), false);
        auto dots = [&directory](const std::string& path) {
            std::string_view name = std::string_view(path).substr(*directory);
            return name == "." || name == "..";
        };
        if (std::ranges::all_of(names, dots)) {
            expanded.push_back(std::move(argument.text));
            plain_expanded.push_back(false);
            continue;
        }

        // All matches share the directory part, so sorting by the bare names
        // gives the order of the whole entries.
        std::vector<SortEntry> order = sorted_order(names, *directory, code_page);
        // Room for all the matches at once, not doubling as they go in, which
        // holds the old array and the new, up to twice too large, together;
        // at least doubled, so that many patterns still take linear time.
        if (expanded.capacity() - expanded.size() < names.size())
            expanded.reserve(std::max(expanded.size() + names.size(), 2 * expanded.capacity()));
        for (const SortEntry& entry : order) {
            if (dots(names[entry.index]))
                continue;
            expanded.push_back(std::move(names[entry.index]));
            plain_expanded.push_back(plain[entry.index]);
        }
    }
    if (listed_plain)
        *listed_plain = std::move(plain_expanded);
    return expanded;
}

}  // namespace tolvex
