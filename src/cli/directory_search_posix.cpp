#include "cli/directory_search.h"

#include <string_view>

#include "cli/name_pattern.h"
#include "fileio/directory_posix.h"

namespace tolvex {

// Linux has no search that takes a pattern, so this one stands in: it lists
// the folder that the directory part names, the current one when there is
// none, and matches the rest against each entry's name. Every match is thus
// an entry of the very folder whose name goes in front of it.
void search_directory(const std::string& pattern, std::size_t directory_length,
                      std::vector<std::string>& names)
{
    std::string_view rest = std::string_view(pattern).substr(directory_length);
    // A "/" in the rest puts a wildcard in a folder's name, which the search
    // does not follow; a folder part ending in "\" or ":" names no Linux
    // folder (on Linux both are name characters).
    if (rest.find('/') != std::string_view::npos ||
        (directory_length > 0 && pattern[directory_length - 1] != '/'))
        return;
    std::string directory = directory_length > 0 ? pattern.substr(0, directory_length) : ".";

    DirectoryListing listing(::opendir(directory.c_str()));
    if (!listing)
        return;
    NamePattern name_pattern = make_name_pattern(rest);
    while (const dirent* entry = ::readdir(listing.get())) {
        if (name_matches(name_pattern, entry->d_name))
            names.emplace_back(entry->d_name);
    }
}

}  // namespace tolvex
