#include "fileio/descriptor_names.h"

#include <algorithm>
#include <array>
#include <string>

namespace tolvex {

namespace {

// `path` with runs of "/" made one and "." components dropped.
std::string tidied(std::string_view path)
{
    std::string text;
    std::size_t at = 0;
    while (at <= path.size()) {
        std::size_t end = std::min(path.find('/', at), path.size());
        std::string_view part = path.substr(at, end - at);
        if (!part.empty() && part != ".") {
            text += '/';
            text += part;
        }
        at = end + 1;
    }
    return text;
}

bool is_number(std::string_view text)
{
    return !text.empty() && std::ranges::all_of(text, [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

bool may_name_a_descriptor(std::string_view path)
{
    if (path.empty() || path.front() != '/')
        return false;
    std::string name = tidied(path);
    constexpr std::array<std::string_view, 5> prefixes = {"/dev/fd/", "/dev/stdin", "/dev/stdout",
                                                          "/dev/stderr", "/proc/self/fd/"};
    if (std::ranges::any_of(prefixes,
                            [&name](std::string_view p) { return name.starts_with(p); }) ||
        name.starts_with("/proc/thread-self/fd/"))
        return true;
    // /proc/PID/fd/N and /proc/PID/task/TID/fd/N, for any process.
    if (!name.starts_with("/proc/"))
        return false;
    std::string_view rest = std::string_view(name).substr(6);
    std::size_t slash = rest.find('/');
    return slash != std::string_view::npos && is_number(rest.substr(0, slash)) &&
           (rest.substr(slash).starts_with("/fd/") || rest.substr(slash).starts_with("/task/"));
}

}  // namespace tolvex
