#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "fileio/read_ahead_plan.h"
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
// end. Returns the exit status. Files are read ahead as `plan` says; the
// output is the same whatever it says. `listed_plain`, if not empty, tells
// for each argument whether its folder's listing found it as a plain file
// (command_line_arguments), which spares reading ahead a look at it.
int run_tolvex(const std::vector<std::string>& arguments, Output& out, MessageStream err,
               const ReadAheadPlan& plan, const std::vector<bool>& listed_plain = {});

// The same, reading ahead as tolvex itself chooses to.
inline int run_tolvex(const std::vector<std::string>& arguments, Output& out, MessageStream err,
                      const std::vector<bool>& listed_plain = {})
{
    return run_tolvex(arguments, out, err,
                      default_read_ahead_plan(arguments.empty() ? 0 : arguments.size() - 1),
                      listed_plain);
}

}  // namespace tolvex
