#include "cli/directory_search.h"

#include <dirent.h>

#include <memory>

#include "cli/name_pattern.h"

namespace tolvex {

namespace {

struct CloseDirectory {
    void operator()(DIR* directory) const { ::closedir(directory); }
};

}  // namespace

// Linux has no search that takes a pattern, so this one stands in: the text
// after the last "/" is matched against every entry of the directory before
// it, or of the current directory when there is no "/".
void search_directory(const std::string& pattern, std::vector<std::string>& names)
{
    std::size_t slash = pattern.rfind('/');
    std::string directory = slash == std::string::npos ? "."
                            : slash == 0               ? "/"
                                                       : pattern.substr(0, slash);
    NamePattern name_pattern =
        make_name_pattern(slash == std::string::npos ? pattern : pattern.substr(slash + 1));

    std::unique_ptr<DIR, CloseDirectory> listing(::opendir(directory.c_str()));
    if (!listing)
        return;
    while (const dirent* entry = ::readdir(listing.get())) {
        if (name_matches(name_pattern, entry->d_name))
            names.emplace_back(entry->d_name);
    }
}

}  // namespace tolvex
