#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tolvex {

// The platform's directory search for a wildcard argument: appends the name
// (the long name, without any directory) of every entry that matches
// `pattern`, "." and ".." included when they match. `directory_length` is
// the length of the pattern's directory part, the folder its matches are
// named in. A search that finds nothing or fails appends nothing.
void search_directory(const std::string& pattern, std::size_t directory_length,
                      std::vector<std::string>& names);

}  // namespace tolvex
