#include "cli/console.h"

#include <sys/stat.h>

namespace tolvex {

bool is_character_device(std::FILE* stream)
{
    struct stat status;
    return ::fstat(::fileno(stream), &status) == 0 && S_ISCHR(status.st_mode);
}

}  // namespace tolvex
