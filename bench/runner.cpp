// Times commands side by side: round after round, each command once per round
// in turn, so that whatever else the machine does falls on all of them alike.
//   bench_runner ROUNDS PLAN
// Each line of PLAN is NAME OUTPUT [-C DIR] PROGRAM ARG..., separated by
// blanks; an argument @LIST stands for the lines of the file LIST, one
// argument each. The program runs in DIR if given. Standard output of a run
// goes to the file OUTPUT, standard error to OUTPUT.err. One round is run
// first and not counted, to warm the caches.
// Peak memory is taken in one more round, under /usr/bin/time: a child
// counts the memory of the process it was started from as its own until it
// runs its program, so the runner's own would show instead of a small one.
// Prints one tab-separated line per command: name, median, fastest and
// slowest wall time, median user and system time (milliseconds), the peak
// resident memory (KiB, -1 without /usr/bin/time), the exit status of the
// last timed run and the median processor time (user and system together,
// which another program busy on the same processor disturbs less than the
// wall time).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct Command {
    std::string name;
    std::string output;
    std::string directory;
    std::vector<std::string> arguments;  // the program first
    std::vector<double> wall, user, system, cpu;
    long peak_kib = -1;
    int status = 0;
};

bool read_plan(const char* path, std::vector<Command>& commands)
{
    std::ifstream plan(path);
    if (!plan)
        return false;
    std::string line;
    while (std::getline(plan, line)) {
        std::istringstream words(line);
        Command command;
        std::string argument;
        if (!(words >> command.name >> command.output))
            continue;
        if (words >> argument && argument == "-C")
            words >> command.directory;
        else if (!argument.empty())
            command.arguments.push_back(argument);
        while (words >> argument) {
            if (argument[0] != '@') {
                command.arguments.push_back(argument);
                continue;
            }
            std::ifstream list(argument.substr(1));
            if (!list)
                return false;
            for (std::string name; std::getline(list, name);)
                command.arguments.push_back(name);
        }
        if (command.arguments.empty())
            return false;
        commands.push_back(std::move(command));
    }
    return !commands.empty();
}

double milliseconds(const timeval& t)
{
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
}

double now_ms()
{
    timespec t;
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

const char* const time_program = "/usr/bin/time";

enum class Round { warm_up, timed, memory };

bool run_once(Command& command, Round round)
{
    std::string peak_file = command.output + ".peak";
    std::vector<char*> argv;
    if (round == Round::memory)
        for (const char* word : {time_program, "-q", "-f", "%M", "-o", peak_file.c_str()})
            argv.push_back(const_cast<char*>(word));
    for (std::string& argument : command.arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    // A fresh file each time: ext4 starts writing back a file truncated to
    // nothing and written again when it is closed, and that would be timed.
    std::string errors = command.output + ".err";
    ::unlink(command.output.c_str());
    ::unlink(errors.c_str());
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    ::posix_spawn_file_actions_addopen(&actions, 1, command.output.c_str(),
                                       O_WRONLY | O_CREAT | O_TRUNC, 0666);
    ::posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                       0666);
    if (!command.directory.empty())
        ::posix_spawn_file_actions_addchdir_np(&actions, command.directory.c_str());

    double start = now_ms();
    pid_t child;
    int spawned = ::posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        std::fprintf(stderr, "bench_runner: cannot start %s: %s\n", argv[0],
                     std::strerror(spawned));
        return false;
    }
    int status;
    rusage usage;
    ::wait4(child, &status, 0, &usage);
    double wall = now_ms() - start;

    if (round == Round::memory) {
        long kib;
        if (std::ifstream(peak_file) >> kib)
            command.peak_kib = kib;
    } else if (round == Round::timed) {
        command.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        command.wall.push_back(wall);
        command.user.push_back(milliseconds(usage.ru_utime));
        command.system.push_back(milliseconds(usage.ru_stime));
        command.cpu.push_back(milliseconds(usage.ru_utime) + milliseconds(usage.ru_stime));
    }
    return true;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<Command> commands;
    int rounds = argc == 3 ? std::atoi(argv[1]) : 0;
    if (rounds < 1 || !read_plan(argv[2], commands)) {
        std::fputs("usage: bench_runner ROUNDS PLAN\n", stderr);
        return 1;
    }

    // A long list of file names needs more room than the usual stack limit
    // leaves for the arguments of a new program.
    rlimit stack;
    if (::getrlimit(RLIMIT_STACK, &stack) == 0 && stack.rlim_cur != RLIM_INFINITY) {
        stack.rlim_cur = std::min<rlim_t>(stack.rlim_max, rlim_t{1} << 30);
        ::setrlimit(RLIMIT_STACK, &stack);
    }

    for (int round = 0; round <= rounds; ++round)
        for (Command& command : commands)
            if (!run_once(command, round == 0 ? Round::warm_up : Round::timed))
                return 1;
    if (::access(time_program, X_OK) == 0)
        for (Command& command : commands)
            if (!run_once(command, Round::memory))
                return 1;

    for (const Command& c : commands)
        std::printf("%s\t%.3f\t%.3f\t%.3f\t%.3f\t%.3f\t%ld\t%d\t%.3f\n", c.name.c_str(),
                    median(c.wall), *std::min_element(c.wall.begin(), c.wall.end()),
                    *std::max_element(c.wall.begin(), c.wall.end()), median(c.user),
                    median(c.system), c.peak_kib, c.status, median(c.cpu));
    return 0;
}
