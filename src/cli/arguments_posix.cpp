#include "cli/arguments.h"

namespace tolvex {

std::vector<std::string> command_line_arguments(int argc, char** argv)
{
    return std::vector<std::string>(argv, argv + argc);
}

}  // namespace tolvex
