#pragma once

#include <string>
#include <vector>

namespace tolvex {

// The program name followed by the file arguments, as the platform hands
// them over.
std::vector<std::string> command_line_arguments(int argc, char** argv);

}  // namespace tolvex
