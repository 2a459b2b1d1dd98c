#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tolvex {

// A wildcard pattern for one name, as the Linux directory search matches
// it: "*" matches any run of bytes, "?" exactly one byte, every other byte
// itself, case-sensitively. Made once and matched against every entry of a
// directory.
struct NamePattern {
    std::string text;              // runs of "*" folded into one
    std::size_t fixed_length = 0;  // bytes a name needs at the least
    bool has_star = false;
};

NamePattern make_name_pattern(std::string_view pattern);

bool name_matches(const NamePattern& pattern, std::string_view name);

}  // namespace tolvex
