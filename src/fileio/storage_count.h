#pragma once

#include <cstdint>
#include <optional>

namespace tolvex {

// How many bytes the process has had fetched from storage so far, counting
// none that came from the system's cache; nothing where the system keeps
// no such count.
std::optional<std::uint64_t> bytes_fetched_from_storage();

}  // namespace tolvex
