// Runs tolvex's own argument preparation with memory running out at the
// Nth allocation, then prints the list it gave after the program name, one
// entry a line:
//   out_of_memory_probe N ARGUMENTS...
// N = -1 never fails. Text is left waiting in the standard output buffer
// first: the start-up failure must end the process without flushing it.
#include <cstdio>
#include <cstdlib>
#include <new>

#include "cli/arguments.h"

namespace {

long allocations_left = -1;

}  // namespace

// As the standard allocation does: when memory runs out, the new-handler
// runs if one is installed, else std::bad_alloc is thrown.
void* operator new(std::size_t size)
{
    bool fail = allocations_left == 0;
    if (allocations_left > 0)
        --allocations_left;
    for (;;) {
        if (!fail)
            if (void* block = std::malloc(size == 0 ? 1 : size))
                return block;
        fail = false;
        std::new_handler handler = std::get_new_handler();
        if (!handler)
            throw std::bad_alloc();
        handler();
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
    static char buffer[4096];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    std::fputs("waiting\n", stdout);
    if (argc < 2)
        return 1;
    allocations_left = std::atol(argv[1]);
    auto arguments = tolvex::command_line_arguments(argc, argv);
    allocations_left = -1;
    for (std::size_t i = 1; i < arguments.size(); ++i)
        std::printf("%s\n", arguments[i].c_str());
    return 0;
}
