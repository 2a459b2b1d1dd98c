#include "cli/name_pattern.h"

namespace tolvex {

NamePattern make_name_pattern(std::string_view pattern)
{
    NamePattern made;
    for (char c : pattern) {
        if (c == '*') {
            if (made.has_star && made.text.back() == '*')
                continue;
            made.has_star = true;
        } else {
            ++made.fixed_length;
        }
        made.text += c;
    }
    return made;
}

bool name_matches(const NamePattern& pattern, std::string_view name)
{
    if (name.size() < pattern.fixed_length ||
        (!pattern.has_star && name.size() != pattern.fixed_length))
        return false;

    // Only the latest star is ever retried: what the earlier ones matched can
    // stay, since a later star could take up any extra bytes. The work is at
    // most the name's length times the pattern's, and the test above keeps
    // the pattern within about twice the name, which is at most 255 bytes.
    const std::string& p = pattern.text;
    std::size_t pi = 0;
    std::size_t ni = 0;
    std::size_t star = std::string::npos;
    std::size_t resume = 0;
    while (ni < name.size()) {
        if (pi < p.size() && p[pi] == '*') {
            star = ++pi;
            resume = ni;
        } else if (pi < p.size() && (p[pi] == '?' || p[pi] == name[ni])) {
            ++pi;
            ++ni;
        } else if (star != std::string::npos) {
            pi = star;
            ni = ++resume;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '*')
        ++pi;
    return pi == p.size();
}

}  // namespace tolvex
