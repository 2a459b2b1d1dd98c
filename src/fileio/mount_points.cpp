#include <algorithm>

#include "fileio/folder_listing.h"

namespace tolvex {

namespace {

// A mount point's field, with each backslash and three octal digits
// turned back into the byte they stand for.
std::string unescaped(std::string_view field)
{
    auto octal = [](char c) { return c >= '0' && c <= '7'; };
    std::string text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && octal(field[i + 1]) &&
            octal(field[i + 2]) && octal(field[i + 3])) {
            text += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                      (field[i + 3] - '0'));
            i += 3;
        } else {
            text += field[i];
        }
    }
    return text;
}

// The fifth field of a line, the mount point; none on a line too short to
// have one.
std::string_view mount_point(std::string_view line)
{
    for (int field = 0; field < 4; ++field) {
        std::size_t space = line.find(' ');
        if (space == std::string_view::npos)
            return {};
        line.remove_prefix(space + 1);
    }
    return line.substr(0, line.find(' '));
}

}  // namespace

std::vector<std::string> names_mounted_in(std::string_view mountinfo, const std::string& folder)
{
    std::string prefix = folder;
    if (prefix.empty() || prefix.back() != '/')
        prefix += '/';
    std::vector<std::string> names;
    while (!mountinfo.empty()) {
        std::string_view line = mountinfo.substr(0, mountinfo.find('\n'));
        mountinfo.remove_prefix(std::min(mountinfo.size(), line.size() + 1));
        std::string point = unescaped(mount_point(line));
        if (point.size() > prefix.size() && point.starts_with(prefix) &&
            point.find('/', prefix.size()) == std::string::npos)
            names.push_back(point.substr(prefix.size()));
    }
    return names;
}

}  // namespace tolvex
