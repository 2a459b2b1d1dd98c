// The I/O floor: what reading the files costs with nothing else done. Each
// file is opened, read once (up to 64 KiB, as much as tolvex's reader asks
// for at a time) and closed; nothing is printed.
//   bench_floor [-t THREADS] FILE...
//   bench_floor [-t THREADS] -d DIR SUFFIX
//   bench_floor -l DIR SUFFIX
// With -t the files are shared out among THREADS threads, each taking the
// next file not yet taken: the floor of reading concurrently.
// With -d it first does what a pattern over a folder makes tolvex do: list
// the folder, keep the names ending in SUFFIX (ASCII letters folded), sort
// them with ASCII letters folded, and put the folder in front of each. With
// -l it does only that, the floor of expanding a pattern, and reads nothing.
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::size_t buffer_size = 64 * 1024;

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
        if (name.size() >= suffix.size() &&
            std::ranges::equal(name.substr(name.size() - suffix.size()), suffix,
                               [](char x, char y) { return folded(x) == folded(y); }))
            names.emplace_back(name);
    }
    ::closedir(folder);
    std::sort(names.begin(), names.end(), folded_less);
    for (std::string& name : names)
        name.insert(0, dir + "/");
    return names;
}

int read_once(const char* path, unsigned char* buffer)
{
    int descriptor = ::open(path, O_RDONLY);
    if (descriptor < 0)
        return 1;
    bool failed = ::read(descriptor, buffer, buffer_size) < 0;
    ::close(descriptor);
    return failed ? 1 : 0;
}

// Reads every path with `threads` threads (the caller's among them).
int read_all(const std::vector<const char*>& paths, unsigned threads)
{
    std::atomic<std::size_t> next{0};
    std::atomic<int> failures{0};
    auto reader = [&] {
        std::vector<unsigned char> buffer(buffer_size);
        for (std::size_t i; (i = next.fetch_add(1, std::memory_order_relaxed)) < paths.size();)
            failures.fetch_add(read_once(paths[i], buffer.data()), std::memory_order_relaxed);
    };
    std::vector<std::thread> others;
    for (unsigned t = 1; t < threads; ++t)
        others.emplace_back(reader);
    reader();
    for (std::thread& thread : others)
        thread.join();
    return failures;
}

}  // namespace

int main(int argc, char** argv)
{
    unsigned threads = 1;
    if (argc > 2 && std::string_view(argv[1]) == "-t") {
        threads = static_cast<unsigned>(std::max(1, std::atoi(argv[2])));
        argv += 2;
        argc -= 2;
    }
    int failures = 0;
    std::string_view mode = argc == 4 ? argv[1] : "";
    std::vector<std::string> listed;
    std::vector<const char*> paths;
    if (mode == "-l") {
        return list_folder(argv[2], argv[3]).empty() ? 2 : 0;
    } else if (mode == "-d") {
        listed = list_folder(argv[2], argv[3]);
        for (const std::string& path : listed)
            paths.push_back(path.c_str());
    } else {
        paths.assign(argv + 1, argv + argc);
    }
    failures = read_all(paths, threads);
    return failures == 0 ? 0 : 2;
}
