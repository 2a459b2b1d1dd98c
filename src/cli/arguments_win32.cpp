#include "cli/arguments.h"

// The C runtime must not expand wildcards before main: tolvex does it itself.
extern "C" {
int _dowildcard = 0;
}

namespace tolvex {

std::vector<std::string> command_line_arguments(int argc, char** argv)
{
    return std::vector<std::string>(argv, argv + argc);
}

}  // namespace tolvex
