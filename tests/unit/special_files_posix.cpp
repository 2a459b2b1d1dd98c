#include "special_files.h"

#include <unistd.h>

namespace tolvex::testing {

const char* const null_device = "/dev/null";
const char* const descriptor_folder = "/proc/self/fd";

bool make_link(const std::string& target, const std::string& path)
{
    return ::symlink(target.c_str(), path.c_str()) == 0;
}

}  // namespace tolvex::testing
