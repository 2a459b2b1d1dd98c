#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/code_page.h"
#include "cli/split_command_line.h"

namespace tolvex {

// Appends, for every entry that the platform's directory search returns for
// `pattern`, "." and ".." included when it returns them, the pattern's
// directory part (its first `directory_length` bytes) followed by the
// entry's name: each path is made once, at its length. It may
// append to `plain`, for every path, whether the folder's listing told that
// it is a plain file; where `plain` is not as long as `names`, none is
// taken to be.
using DirectorySearch =
    std::function<void(const std::string& pattern, std::size_t directory_length,
                       std::vector<std::string>& names, std::vector<bool>& plain)>;

// For a wildcard argument (one holding "*" or "?"), the length of its
// directory part: the text up to and including the nearest "\", "/" or ":"
// before the first wildcard, 0 when there is none. Empty when the argument
// is taken as it is: it holds no wildcard, or that nearest separator is a
// colon other than a drive letter's (ab:c*).
std::optional<std::size_t> directory_part_length(std::string_view argument,
                                                 const CodePage& code_page);

// Negative, zero or positive as `a` sorts before, with or after `b`: ASCII
// letters compare as lower case, bytes as unsigned values, a prefix first.
int compare_names(std::string_view a, std::string_view b, const CodePage& code_page);

// Sorts by compare_names; names that compare equal go in the order of their
// raw bytes.
void sort_names(std::vector<std::string>& names, const CodePage& code_page);

// The argument list with each wildcard argument, the program name included,
// replaced by its matches: sorted, each with the pattern's directory part in
// front, "." and ".." left out. Quoted arguments, arguments without a
// wildcard and patterns that match nothing are kept as they are.
// `listed_plain`, if given, gets for each argument whether it is a match
// the search told to be a plain file.
//
// Running out of memory is left to the allocation itself: the program's
// new-handler turns it into the start-up failure; without one,
// std::bad_alloc passes through.
std::vector<std::string> expand_arguments(std::vector<Argument> arguments,
                                          const CodePage& code_page, const DirectorySearch& search,
                                          std::vector<bool>* listed_plain = nullptr);

}  // namespace tolvex
