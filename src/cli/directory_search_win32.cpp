#include "cli/directory_search.h"

#include <windows.h>

#include <memory>
#include <string_view>

namespace tolvex {

namespace {

struct CloseSearch {
    void operator()(HANDLE search) const { ::FindClose(search); }
};

}  // namespace

// The system's search takes the whole pattern and finds nothing when a
// folder's name holds a wildcard.
void search_directory(const std::string& pattern, std::size_t directory_length,
                      std::vector<std::string>& names, std::vector<bool>&)
{
    std::string_view directory_part = std::string_view(pattern).substr(0, directory_length);
    WIN32_FIND_DATAA entry;
    HANDLE first = ::FindFirstFileA(pattern.c_str(), &entry);
    if (first == INVALID_HANDLE_VALUE)
        return;
    std::unique_ptr<void, CloseSearch> search(first);
    do {
        std::string_view name = entry.cFileName;
        std::string& path = names.emplace_back();
        path.reserve(directory_part.size() + name.size());
        path.append(directory_part).append(name);
    } while (::FindNextFileA(search.get(), &entry));
}

}  // namespace tolvex
