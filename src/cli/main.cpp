#include <cstdio>

#include "cli/arguments.h"
#include "cli/console.h"
#include "cli/driver.h"
#include "report/output.h"

int main(int argc, char** argv)
{
    // Reports are held by tolvex's own output and handed to the stream in
    // blocks, or write by write on a terminal; the stream adds no buffer of
    // its own, so the order of reports and messages is decided in one place.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    tolvex::Output out;
    out.stream = stdout;
    out.write_through = tolvex::is_character_device(stdout);

    return tolvex::run_tolvex(tolvex::command_line_arguments(argc, argv), out, stderr);
}
