// tolvex with its read-ahead plan given, to choose the plan by measurement:
//   bench_tolvex_plan WINDOW THREADS DISK_WINDOW DISK_THREADS FILE...
// THREADS workers over WINDOW files start at once, the caller reading its
// share of the files itself as in tolvex; DISK_THREADS over DISK_WINDOW
// take over once three of the caller's own reads close together took over
// 150 microseconds.
// Folders are listed as tolvex lists them. It writes what tolvex writes;
// windows of 0 read one file at a time.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/console.h"
#include "cli/driver.h"
#include "report/output.h"

int main(int argc, char** argv)
{
    if (argc < 5) {
        std::fputs("usage: bench_tolvex_plan WINDOW THREADS DISK_WINDOW DISK_THREADS FILE...\n",
                   stderr);
        return 1;
    }
    // The plan for many files, with the windows and threads given.
    tolvex::ReadAheadPlan plan = tolvex::default_read_ahead_plan(SIZE_MAX);
    plan.window = static_cast<std::size_t>(std::atol(argv[1]));
    plan.threads = static_cast<unsigned>(std::atoi(argv[2]));
    plan.threads_after = 0;
    plan.disk_window = static_cast<std::size_t>(std::atol(argv[3]));
    plan.disk_threads = static_cast<unsigned>(std::atoi(argv[4]));
    std::vector<std::string> arguments{argv[0]};
    arguments.insert(arguments.end(), argv + 5, argv + argc);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    tolvex::Output out;
    out.stream = stdout;
    out.terminal = tolvex::is_character_device(stdout);
    return tolvex::run_tolvex(arguments, out, {stderr, tolvex::is_character_device(stderr)}, plan);
}
