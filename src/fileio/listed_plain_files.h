#pragma once

#include <atomic>
#include <cstddef>
#include <string>
#include <vector>

namespace tolvex {

// Looking at a name to learn that it is a plain file costs a system call,
// nearly as much as reading a small file through the kernel's queue; a
// folder's listing tells the same of a few hundred entries per call. So
// where many names in a row are in one folder, the folder is listed once
// and the names it lists as plain files are marked, and reading them ahead
// needs no look at each. A mark is what the listing said, learnt without
// opening anything; a name left unmarked is looked at on its own.
//
// Marks, in `plain`, the names of `paths` from `first` on that their
// folder lists as plain files, for every `least_names` or more names in a
// row in one folder, until `stop` is set; a folder some of whose names are
// marked already is not listed. Returns where it stopped: the first name of
// the folder it was listing, or the end.
std::size_t mark_listed_plain_files(const std::vector<std::string>& paths, std::size_t first,
                                    std::size_t least_names, std::vector<std::atomic<bool>>& plain,
                                    const std::atomic<bool>& stop);

}  // namespace tolvex
