#include "cli/arguments.h"

#include <unistd.h>

#include <cerrno>
#include <new>
#include <utility>

#include "cli/directory_search.h"
#include "cli/expand_arguments.h"

namespace tolvex {

namespace {

[[noreturn]] void fail_out_of_memory()
{
    static const char message[] = "\r\nruntime error R6008\r\n- not enough space for arguments\r\n";
    const char* rest = message;
    std::size_t left = sizeof message - 1;
    while (left > 0) {
        ssize_t written = ::write(2, rest, left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            break;
        rest += written;
        left -= static_cast<std::size_t>(written);
    }
    ::_exit(255);
}

}  // namespace

// The shell has split the arguments and nothing records their quotes, so
// none counts as quoted; a pattern the shell leaves alone (because it was
// quoted, or matched nothing) is expanded here.
std::vector<std::string> command_line_arguments(int argc, char** argv)
{
    try {
        std::vector<Argument> given;
        given.reserve(static_cast<std::size_t>(argc));
        for (int i = 0; i < argc; ++i)
            given.push_back({argv[i], false});
        return expand_arguments(std::move(given), single_byte_code_page(), search_directory);
    } catch (const std::bad_alloc&) {
        fail_out_of_memory();
    }
}

}  // namespace tolvex
