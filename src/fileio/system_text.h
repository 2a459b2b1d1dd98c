#pragma once

#include <optional>
#include <string>

namespace tolvex {

// The whole of a small file the system makes up, such as /proc's; nothing
// when it cannot be read.
std::optional<std::string> whole_text(const char* path);

}  // namespace tolvex
