#pragma once

#include <string>
#include <vector>

namespace tolvex {

// The program name followed by the file arguments, with every wildcard
// argument expanded. If memory runs out on the way, writes the start-up
// failure message straight to the standard-error device and ends the
// process with status 255, flushing no stream. `listed_plain`, if given,
// gets for each argument whether the listing of the folder a pattern
// matched it in told that it is a plain file (never, on Windows).
std::vector<std::string> command_line_arguments(int argc, char** argv,
                                                std::vector<bool>* listed_plain = nullptr);

}  // namespace tolvex
