#include "cli/console.h"

#include <io.h>
#include <windows.h>

namespace tolvex {

bool is_character_device(std::FILE* stream)
{
    auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(stream)));
    return handle != INVALID_HANDLE_VALUE && ::GetFileType(handle) == FILE_TYPE_CHAR;
}

}  // namespace tolvex
