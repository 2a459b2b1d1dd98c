// Runs tolvex over the files named, reading ahead with workers and folder
// listings from the first file, with memory running out at the Nth
// allocation of the run, counted over every thread:
//   read_ahead_oom_probe N FILE...
// It writes what tolvex writes and exits with its status; N = -1 never
// fails. Standard error gets "reached" last when the run made N
// allocations or more, so a sweep knows when to end.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "cli/driver.h"
#include "report/output.h"

namespace {

std::atomic<long> allocations_left{-1};
std::atomic<bool> reached{false};

}  // namespace

void* operator new(std::size_t size)
{
    long left = allocations_left.load();
    while (left > 0 && !allocations_left.compare_exchange_weak(left, left - 1)) {
    }
    bool fail = left == 0;
    if (fail) {
        allocations_left.store(-1);
        reached.store(true);
        throw std::bad_alloc();
    }
    if (void* block = std::malloc(size == 0 ? 1 : size))
        return block;
    throw std::bad_alloc();
}

// The form that returns nothing instead of throwing counts the same, and
// takes from the same place as the rest.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return ::operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}

int main(int argc, char** argv)
{
    if (argc < 3)
        return 1;
    std::vector<std::string> arguments{"tolvex"};
    arguments.insert(arguments.end(), argv + 2, argv + argc);
    tolvex::ReadAheadPlan plan = tolvex::default_read_ahead_plan(arguments.size());
    plan.threads = 2;
    plan.threads_after = 0;
    plan.caller_share = 3;
    plan.list_from = 2;
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    tolvex::Output out;
    out.stream = stdout;
    allocations_left.store(std::atol(argv[1]));
    int status = tolvex::run_tolvex(arguments, out, {stderr, false}, plan);
    allocations_left.store(-1);
    if (reached.load())
        std::fputs("reached\n", stderr);
    return status;
}
