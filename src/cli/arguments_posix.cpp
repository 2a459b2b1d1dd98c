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
std::vector<std::string> command_line_arguments(int argc, char** argv,
                                                std::vector<bool>* listed_plain)
{
    // Until the list is made, an allocation that fails ends the process in
    // the new-handler, in place of throwing: that needs no memory, where
    // making an exception can itself fail. Later failures throw as usual.
    std::new_handler previous = std::set_new_handler(fail_out_of_memory);
    std::vector<Argument> given;
    given.reserve(static_cast<std::size_t>(argc));
    for (int i = 0; i < argc; ++i)
        given.push_back({argv[i], false});
    std::vector<std::string> arguments =
        expand_arguments(std::move(given), single_byte_code_page(), search_directory, listed_plain);
    std::set_new_handler(previous);
    return arguments;
}

}  // namespace tolvex
