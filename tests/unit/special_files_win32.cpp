#include "special_files.h"

namespace tolvex::testing {

const char* const null_device = "NUL";
const char* const descriptor_folder = "";

bool make_link(const std::string&, const std::string&)
{
    return false;
}

}  // namespace tolvex::testing
