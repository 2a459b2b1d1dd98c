#pragma once

#include <string>

namespace tolvex::testing {

// The name of the platform's null device.
extern const char* const null_device;

// Makes a symbolic link at `path` to `target`. Returns false where the tests
// make none: Windows leaves a link for its turn, whatever it names.
bool make_link(const std::string& target, const std::string& path);

}  // namespace tolvex::testing
