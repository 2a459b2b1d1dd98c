// tolvex with its read-ahead plan given, to choose the plan by measurement:
//   bench_tolvex_plan WINDOW THREADS FILE...
// It writes what tolvex writes; a window or thread count of 0 reads one file
// at a time.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/console.h"
#include "cli/driver.h"
#include "report/output.h"

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fputs("usage: bench_tolvex_plan WINDOW THREADS FILE...\n", stderr);
        return 1;
    }
    tolvex::ReadAheadPlan plan;
    plan.window = static_cast<std::size_t>(std::atol(argv[1]));
    plan.threads = static_cast<unsigned>(std::atoi(argv[2]));
    std::vector<std::string> arguments{argv[0]};
    arguments.insert(arguments.end(), argv + 3, argv + argc);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    tolvex::Output out;
    out.stream = stdout;
    out.terminal = tolvex::is_character_device(stdout);
    return tolvex::run_tolvex(arguments, out, {stderr, tolvex::is_character_device(stderr)}, plan);
}
