#pragma once

#include <cstdio>

namespace tolvex {

// Whether `stream` is attached to a terminal or another character device.
bool is_character_device(std::FILE* stream);

}  // namespace tolvex
