#pragma once

#include <string_view>

namespace tolvex {

// Whether `path` may name one of the process's own descriptors, as
// /dev/fd/N, /dev/stdin and /proc/self/fd/N do on Linux: to a program that
// holds only its standard streams these names mean those streams or
// nothing, so nothing that reading ahead holds may be there when they are
// opened, and they are never read ahead. Extra slashes and "." components
// are seen through; other ways of spelling them are not.
bool may_name_a_descriptor(std::string_view path);

}  // namespace tolvex
