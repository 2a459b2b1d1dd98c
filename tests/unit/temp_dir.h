#pragma once

#include <filesystem>
#include <string>

namespace tolvex::testing {

// A fresh directory under the system's temporary folder, removed with its
// contents when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string path(const std::string& name) const { return (root_ / name).string(); }

private:
    std::filesystem::path root_;
};

}  // namespace tolvex::testing
