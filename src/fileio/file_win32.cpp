#include "fileio/file.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <string_view>
#include <sys/stat.h>
#include <sys/types.h>
#include <windows.h>

namespace tolvex {

int open_file(const std::string& path, FileHandle& file)
{
    file.descriptor = ::_open(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
    return file.descriptor < 0 ? errno : 0;
}

// Windows keeps its pipes and devices out of the names of plain files,
// which is all that is read ahead.
int open_file_now(const std::string& path, FileHandle& file)
{
    return open_file(path, file);
}

bool is_plain_file(FileHandle file)
{
    struct _stat64 status {};
    return ::_fstat64(file.descriptor, &status) == 0 && (status.st_mode & _S_IFMT) == _S_IFREG;
}

long read_file(FileHandle file, unsigned char* buffer, std::size_t size, int& error)
{
    // _read takes an unsigned int count; the reader's buffer is far smaller.
    int n = ::_read(file.descriptor, buffer, static_cast<unsigned>(size));
    if (n < 0)
        error = errno;
    return n;
}

void close_file(FileHandle file)
{
    ::_close(file.descriptor);
}

namespace {

char upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// CON, PRN, AUX, NUL, COM1 to COM9 and LPT1 to LPT9 name devices in every
// folder and with any extension ("dir\nul.god"), and so do the console's
// own names. Windows also drops blanks and dots at the end ("con .god").
// A false match only means the file is read when its turn comes.
bool is_reserved_device_name(const std::string& path)
{
    std::string_view name = path;
    if (std::size_t slash = name.find_last_of("\\/:"); slash != std::string_view::npos)
        name.remove_prefix(slash + 1);
    name = name.substr(0, name.find('.'));
    while (!name.empty() && name.back() == ' ')
        name.remove_suffix(1);
    std::string base(name.size(), ' ');
    std::transform(name.begin(), name.end(), base.begin(), upper);
    constexpr std::array<std::string_view, 6> fixed = {"CON", "PRN",    "AUX",
                                                       "NUL", "CONIN$", "CONOUT$"};
    if (std::find(fixed.begin(), fixed.end(), base) != fixed.end())
        return true;
    // The digits 1 to 9, and the code page's superscript one to three.
    bool numbered = base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT"));
    return numbered &&
           std::string_view("123456789\xB9\xB2\xB3").find(base[3]) != std::string_view::npos;
}

}  // namespace

std::uint64_t plain_file_size(const std::string& path)
{
    // The device namespace ("\\.\PIPE\x") holds no plain files.
    if (path.starts_with("\\\\.\\") || path.starts_with("//./") || is_reserved_device_name(path))
        return 0;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    // Links, devices and files kept offline (read back from slow storage
    // on first access) wait for their turn too. The two recall flags are
    // newer than MinGW-w64's headers.
    constexpr DWORD recall_on_open = 0x00040000;
    constexpr DWORD recall_on_data_access = 0x00400000;
    constexpr DWORD not_plain = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE |
                                FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_OFFLINE |
                                recall_on_open | recall_on_data_access;
    if ((data.dwFileAttributes & not_plain) != 0)
        return 0;
    return (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

// The C runtime already maps the system's errors onto the texts users know.
std::string file_error_text(const std::string&, int error)
{
    return std::strerror(error);
}

}  // namespace tolvex
