#include "cli/directory_search.h"

#include <windows.h>

#include <memory>

namespace tolvex {

namespace {

struct CloseSearch {
    void operator()(HANDLE search) const { ::FindClose(search); }
};

}  // namespace

// The system's search takes the whole pattern and finds nothing when a
// folder's name holds a wildcard.
void search_directory(const std::string& pattern, std::size_t, std::vector<std::string>& names)
{
    WIN32_FIND_DATAA entry;
    HANDLE first = ::FindFirstFileA(pattern.c_str(), &entry);
    if (first == INVALID_HANDLE_VALUE)
        return;
    std::unique_ptr<void, CloseSearch> search(first);
    do
        names.emplace_back(entry.cFileName);
    while (::FindNextFileA(search.get(), &entry));
}

}  // namespace tolvex
