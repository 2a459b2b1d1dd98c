// The I/O floor: what reading the files costs with nothing else done. Each
// file is opened, read once (up to 64 KiB, as much as tolvex's reader asks
// for at a time) and closed; nothing is printed.
//   bench_floor FILE...
//   bench_floor -d DIR SUFFIX
//   bench_floor -l DIR SUFFIX
// With -d it first does what a pattern over a folder makes tolvex do: list
// the folder, keep the names ending in SUFFIX, sort them with ASCII letters
// folded, and put the folder in front of each. With -l it does only that,
// the floor of expanding a pattern, and reads nothing.
#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {

unsigned char buffer[64 * 1024];

unsigned char folded(char c)
{
    auto byte = static_cast<unsigned char>(c);
    return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}

bool folded_less(const std::string& a, const std::string& b)
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return folded(x) < folded(y); });
}

std::vector<std::string> list_folder(const std::string& dir, std::string_view suffix)
{
    std::vector<std::string> names;
    DIR* folder = ::opendir(dir.c_str());
    if (!folder)
        return names;
    while (dirent* entry = ::readdir(folder)) {
        std::string_view name = entry->d_name;
        if (name.size() >= suffix.size() && name.substr(name.size() - suffix.size()) == suffix)
            names.emplace_back(name);
    }
    ::closedir(folder);
    std::sort(names.begin(), names.end(), folded_less);
    for (std::string& name : names)
        name.insert(0, dir + "/");
    return names;
}

int read_once(const char* path)
{
    int descriptor = ::open(path, O_RDONLY);
    if (descriptor < 0)
        return 1;
    bool failed = ::read(descriptor, buffer, sizeof buffer) < 0;
    ::close(descriptor);
    return failed ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv)
{
    int failures = 0;
    std::string_view mode = argc == 4 ? argv[1] : "";
    if (mode == "-l") {
        failures = list_folder(argv[2], argv[3]).empty();
    } else if (mode == "-d") {
        for (const std::string& path : list_folder(argv[2], argv[3]))
            failures += read_once(path.c_str());
    } else {
        for (int i = 1; i < argc; ++i)
            failures += read_once(argv[i]);
    }
    return failures == 0 ? 0 : 2;
}
