#include "fileio/folder_listing.h"

namespace tolvex {

// Windows looks at each name on its own (plain_file_size).
const bool listings_tell_plain_files = false;
void list_plain_files(const std::string&, std::size_t, PlainFileFound) {}

}  // namespace tolvex
