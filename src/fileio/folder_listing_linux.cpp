#include "fileio/folder_listing.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <sys/vfs.h>
#include <unistd.h>

#include "fileio/directory_posix.h"
#include "fileio/system_text.h"

namespace tolvex {

namespace {

// The file systems whose listings say which entries are plain files that
// hold their bytes, as opposed to pseudo file systems whose "plain" files
// are made up as they are read (/proc, /sys) or handed to a process (FUSE).
constexpr std::array<std::uint64_t, 9> trusted_file_systems{
    0xEF53,      // ext2, ext3, ext4
    0x58465342,  // XFS
    0x9123683E,  // Btrfs
    0xF2F52010,  // F2FS
    0x01021994,  // tmpfs
    0x858458F6,  // ramfs
    0x794C7630,  // overlay
    0x4D44,      // FAT
    0x2011BAB0,  // exFAT
};

// The names in the folder open as `folder` that something is mounted on:
// its listing shows what lies beneath a mount, so a device bind-mounted on
// a plain file's name lists as a plain file. Nothing when it cannot be
// told.
std::optional<std::vector<std::string>> mounted_names(int folder)
{
    std::array<char, 4096> target{};
    std::string link = "/proc/self/fd/" + std::to_string(folder);
    ssize_t length = ::readlink(link.c_str(), target.data(), target.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= target.size())
        return {};
    std::optional<std::string> mounts = whole_text("/proc/self/mountinfo");
    if (!mounts)
        return {};
    return names_mounted_in(*mounts, std::string(target.data(), static_cast<std::size_t>(length)));
}

// The names mounted on in the folder open as `listing`, where its listing
// tells plain files; nothing where it does not, or cannot be told.
std::optional<std::vector<std::string>> trusted_listing(DIR* listing)
{
    struct statfs file_system {};
    if (::fstatfs(::dirfd(listing), &file_system) != 0 ||
        std::ranges::find(trusted_file_systems, static_cast<std::uint64_t>(file_system.f_type)) ==
            trusted_file_systems.end())
        return {};
    return mounted_names(::dirfd(listing));
}

// Whether `entry` is a plain file's, given the names mounted on in its
// folder. A link is not followed, nor a mount: their names wait to be
// looked at on their own.
bool lists_plain_file(const dirent& entry, const std::vector<std::string>& mounted)
{
    return entry.d_type == DT_REG &&
           std::ranges::find(mounted, std::string_view(entry.d_name)) == mounted.end();
}

// The listing is opened as a folder only: a FIFO or a device of that name
// is not opened at all.
DirectoryListing open_listing(const std::string& directory)
{
    return DirectoryListing(::opendir(directory.empty() ? "." : directory.c_str()));
}

}  // namespace

const bool listings_tell_plain_files = true;

void list_plain_files(const std::string& directory, std::size_t most_entries, PlainFileFound found)
{
    DirectoryListing listing = open_listing(directory);
    if (!listing)
        return;
    std::optional<std::vector<std::string>> mounted = trusted_listing(listing.get());
    if (!mounted)
        return;
    for (std::size_t seen = 0; seen < most_entries; ++seen) {
        const dirent* entry = ::readdir(listing.get());
        if (!entry)
            return;
        if (lists_plain_file(*entry, *mounted) && !found.call(found.context, entry->d_name))
            return;
    }
}

void list_folder(const std::string& directory, FolderEntryFound found)
{
    DirectoryListing listing = open_listing(directory);
    if (!listing)
        return;
    std::optional<std::vector<std::string>> mounted = trusted_listing(listing.get());
    while (const dirent* entry = ::readdir(listing.get()))
        found.call(found.context, entry->d_name, mounted && lists_plain_file(*entry, *mounted));
}

}  // namespace tolvex
