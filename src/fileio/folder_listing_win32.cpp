#include "fileio/folder_listing.h"

namespace tolvex {

// Windows looks at each name on its own (find_plain_file).
const bool listings_tell_plain_files = false;
void list_plain_files(const std::string&, std::size_t, PlainFileFound) {}

}  // namespace tolvex
