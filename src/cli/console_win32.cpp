#include "cli/console.h"

#include <io.h>

namespace tolvex {

bool is_character_device(std::FILE* stream)
{
    // The C runtime marks a descriptor as a tty when the system reports a
    // character device for it: a console, NUL, a printer or a serial port.
    return ::_isatty(::_fileno(stream)) != 0;
}

}  // namespace tolvex
