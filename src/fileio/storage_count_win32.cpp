#include "fileio/storage_count.h"

namespace tolvex {

// Windows counts the bytes read from its cache with those read from the
// disk.
std::optional<std::uint64_t> bytes_fetched_from_storage()
{
    return {};
}

}  // namespace tolvex
