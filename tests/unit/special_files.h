#pragma once

#include <string>

namespace tolvex::testing {

// The name of the platform's null device.
extern const char* const null_device;

// The folder that lists the process's own descriptors, one entry each, or
// "" where the system has none the tests can count (under wine, /proc
// lists the emulator's).
extern const char* const descriptor_folder;

// Makes a symbolic link at `path` to `target`. Returns false where the tests
// make none: Windows leaves a link for its turn, whatever it names.
bool make_link(const std::string& target, const std::string& path);

}  // namespace tolvex::testing
