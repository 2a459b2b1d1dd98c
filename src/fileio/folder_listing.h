#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tolvex {

// Calls `found` with the name of each plain file that the folder
// `directory` ("" for the current one) lists, opening none of them, until
// `found` returns false or `most_entries` entries have been looked at. It
// finds none where the listing does not tell plain files apart, or where its
// plain files may be made up when read (as /proc's are): the file systems
// that keep files on storage (ext4, XFS, Btrfs, FAT) or in memory (tmpfs)
// are trusted, others are not, and Windows lists none. A name something is
// mounted on is left out, since the listing shows what lies beneath.
struct PlainFileFound {
    bool (*call)(void* context, std::string_view name) = nullptr;
    void* context = nullptr;
};
void list_plain_files(const std::string& directory, std::size_t most_entries, PlainFileFound found);

// Whether list_plain_files finds any on this system.
extern const bool listings_tell_plain_files;

// Calls `found` with the name of every entry of the folder `directory` ("" for
// the current one), "." and ".." among them when the system lists them, and
// whether the listing tells that it is a plain file, as list_plain_files
// would find it. Lists nothing where `directory` cannot be opened as a
// folder. Linux only: Windows searches with a pattern of its own.
struct FolderEntryFound {
    void (*call)(void* context, std::string_view name, bool plain) = nullptr;
    void* context = nullptr;
};
void list_folder(const std::string& directory, FolderEntryFound found);

// The names in the folder `folder` (an absolute path) that something is
// mounted on, as `mountinfo`, the text of /proc/self/mountinfo, says: its
// fifth field is the mount point, with a space, a tab, a line end or a
// backslash written as three octal digits after a backslash.
std::vector<std::string> names_mounted_in(std::string_view mountinfo, const std::string& folder);

}  // namespace tolvex
