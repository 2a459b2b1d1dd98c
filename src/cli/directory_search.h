#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tolvex {

// The platform's directory search for a wildcard argument: appends the
// pattern's directory part (its first `directory_length` bytes, the folder
// its matches are named in) followed by the name (the long name) of every
// entry that matches `pattern`, "." and ".." included when they match. A
// search that finds nothing or fails appends nothing. Where the folder's
// listing tells plain files (list_folder), it also appends to `plain`, for
// each entry, whether it is one; on Windows it leaves `plain` alone.
void search_directory(const std::string& pattern, std::size_t directory_length,
                      std::vector<std::string>& names, std::vector<bool>& plain);

}  // namespace tolvex
