#include "fileio/storage_count.h"

#include <charconv>
#include <string>
#include <string_view>

#include "fileio/system_text.h"

namespace tolvex {

std::optional<std::uint64_t> bytes_fetched_from_storage()
{
    std::optional<std::string> text = whole_text("/proc/self/io");
    if (!text)
        return {};
    std::string_view lines = *text;
    constexpr std::string_view key = "\nread_bytes: ";
    std::size_t at = lines.find(key);
    if (at == std::string_view::npos)
        return {};
    std::uint64_t count = 0;
    const char* digits = lines.data() + at + key.size();
    if (std::from_chars(digits, lines.data() + lines.size(), count).ec != std::errc{})
        return {};
    return count;
}

}  // namespace tolvex
