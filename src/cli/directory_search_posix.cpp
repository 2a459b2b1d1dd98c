#include "cli/directory_search.h"

#include <string_view>

#include "cli/name_pattern.h"
#include "fileio/folder_listing.h"

namespace tolvex {

namespace {

struct Matches {
    std::string_view directory_part;
    NamePattern pattern;
    std::vector<std::string>* names;
    std::vector<bool>* plain;
};

void add_match(void* context, std::string_view name, bool plain)
{
    auto& matches = *static_cast<Matches*>(context);
    if (!name_matches(matches.pattern, name))
        return;
    std::string& path = matches.names->emplace_back();
    path.reserve(matches.directory_part.size() + name.size());
    path.append(matches.directory_part).append(name);
    matches.plain->push_back(plain);
}

}  // namespace

// Linux has no search that takes a pattern, so this one stands in: it lists
// the folder that the directory part names, the current one when there is
// none, and matches the rest against each entry's name. Every match is thus
// an entry of the very folder whose name goes in front of it, and what the
// listing tells of it is what it tells of that name.
void search_directory(const std::string& pattern, std::size_t directory_length,
                      std::vector<std::string>& names, std::vector<bool>& plain)
{
    std::string_view rest = std::string_view(pattern).substr(directory_length);
    // A "/" in the rest puts a wildcard in a folder's name, which the search
    // does not follow; a folder part ending in "\" or ":" names no Linux
    // folder (on Linux both are name characters).
    if (rest.find('/') != std::string_view::npos ||
        (directory_length > 0 && pattern[directory_length - 1] != '/'))
        return;
    std::string directory = directory_length > 0 ? pattern.substr(0, directory_length) : ".";

    Matches matches{std::string_view(pattern).substr(0, directory_length), make_name_pattern(rest),
                    &names, &plain};
    list_folder(directory, {add_match, &matches});
}

}  // namespace tolvex
