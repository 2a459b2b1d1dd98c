#include <cstdio>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/console.h"
#include "cli/driver.h"
#include "report/output.h"

int main(int argc, char** argv)
{
    // Reports are held by tolvex's own output and handed to the stream in
    // whole blocks, or write by write on a terminal; the stream adds no buffer
    // of its own, so what reaches the device, and in which order with the
    // messages, is decided in one place.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    tolvex::Output out;
    out.stream = stdout;
    out.terminal = tolvex::is_character_device(stdout);
    tolvex::MessageStream err{stderr, tolvex::is_character_device(stderr)};

    std::vector<bool> listed_plain;
    std::vector<std::string> arguments = tolvex::command_line_arguments(argc, argv, &listed_plain);
    return tolvex::run_tolvex(arguments, out, err, listed_plain);
}
