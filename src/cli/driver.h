#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "report/output.h"

namespace tolvex {

enum ExitStatus {
    exit_success = 0,
    exit_usage = 1,
    exit_cannot_read = 2,
    exit_write_error = 3,
};

// Where messages go, and whether it is a terminal, which shows each control
// byte of a name in a message as "?".
struct MessageStream {
    std::FILE* stream = nullptr;
    bool terminal = false;
};

// Reads and reports each file named in `arguments` (program name first),
// writing reports to `out` and messages to `err`, and flushes `out` at the
// end. Returns the exit status.
int run_tolvex(const std::vector<std::string>& arguments, Output& out, MessageStream err);

}  // namespace tolvex
