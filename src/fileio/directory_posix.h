#pragma once

#include <dirent.h>

#include <memory>

namespace tolvex {

// An open folder listing, closed when it goes.
struct CloseDirectory {
    void operator()(DIR* directory) const { ::closedir(directory); }
};
using DirectoryListing = std::unique_ptr<DIR, CloseDirectory>;

}  // namespace tolvex
