#include "fileio/listed_plain_files.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <functional>
#include <limits>
#include <string_view>

#include "fileio/folder_listing.h"

namespace tolvex {

namespace {

// A listing costs about a twelfth of a look at a name per entry: a folder
// is listed no further than this many entries for each name it may mark.
constexpr std::size_t entries_per_name = 8;

// A large folder lists in an order of its own, its entries costing more the
// larger it is, and its marks land anywhere among the names: once so many
// plain files are listed and fewer than half of them are names of the run,
// the rest of the folder is not worth listing, and its names are looked at
// one by one.
constexpr std::size_t sparse_check = 1024;

// The length of the folder part of `path`, up to and with its last "/".
std::size_t folder_length(std::string_view path)
{
    std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? 0 : slash + 1;
}

// The names from `first` to `end`, all in the folder of `folder` bytes
// that `first` begins with, found by what follows the folder: a table of
// their indexes, open-addressed, twice as large as there are names.
struct NameTable {
    const std::vector<std::string>* paths = nullptr;
    std::size_t folder = 0;
    std::vector<std::uint32_t> places;  // an index + 1, or 0 for none
    std::vector<std::atomic<bool>>* plain = nullptr;
    const std::atomic<bool>* stop = nullptr;
    std::size_t listed = 0;  // plain files listed
    std::size_t named = 0;   // of them, names of the run

    std::string_view name(std::size_t index) const
    {
        return std::string_view((*paths)[index]).substr(folder);
    }
    std::size_t first_place(std::string_view name) const
    {
        return std::hash<std::string_view>{}(name) & (places.size() - 1);
    }
    std::size_t next_place(std::size_t place) const { return (place + 1) & (places.size() - 1); }
};

NameTable make_name_table(const std::vector<std::string>& paths, std::size_t first, std::size_t end,
                          std::size_t folder, std::vector<std::atomic<bool>>& plain,
                          const std::atomic<bool>& stop)
{
    NameTable table{.paths = &paths,
                    .folder = folder,
                    .places = std::vector<std::uint32_t>(std::bit_ceil(2 * (end - first))),
                    .plain = &plain,
                    .stop = &stop};
    for (std::size_t index = first; index < end; ++index) {
        std::size_t place = table.first_place(table.name(index));
        while (table.places[place] != 0)
            place = table.next_place(place);
        table.places[place] = static_cast<std::uint32_t>(index + 1);
    }
    return table;
}

// Marks every name of the table that is `listed`, a plain file's name.
bool mark_name(void* context, std::string_view listed)
{
    auto& table = *static_cast<NameTable*>(context);
    bool named = false;
    for (std::size_t place = table.first_place(listed); table.places[place] != 0;
         place = table.next_place(place)) {
        std::size_t index = table.places[place] - 1;
        if (table.name(index) == listed) {
            (*table.plain)[index].store(true, std::memory_order_relaxed);
            named = true;
        }
    }
    table.named += named ? 1 : 0;
    if (++table.listed >= sparse_check && 2 * table.named < table.listed)
        return false;
    return !table.stop->load(std::memory_order_relaxed);
}

}  // namespace

std::size_t mark_listed_plain_files(const std::vector<std::string>& paths, std::size_t first,
                                    std::size_t least_names, std::vector<std::atomic<bool>>& plain,
                                    const std::atomic<bool>& stop)
{
    if (!listings_tell_plain_files)
        return paths.size();
    std::size_t start = first;
    while (start < paths.size() && !stop.load()) {
        const std::string& head = paths[start];
        std::size_t folder = folder_length(head);
        std::size_t end = start + 1;
        while (end < paths.size() && paths[end].size() > folder &&
               paths[end].compare(0, folder, head, 0, folder) == 0 &&
               paths[end].find('/', folder) == std::string::npos)
            ++end;
        std::size_t names = end - start;
        // Names marked already come from their folder's listing, made as
        // they were found: it is not listed again.
        bool marked = std::any_of(
            plain.begin() + static_cast<std::ptrdiff_t>(start),
            plain.begin() + static_cast<std::ptrdiff_t>(end),
            [](const std::atomic<bool>& mark) { return mark.load(std::memory_order_relaxed); });
        if (names >= least_names && !marked && end < std::numeric_limits<std::uint32_t>::max()) {
            NameTable table = make_name_table(paths, start, end, folder, plain, stop);
            list_plain_files(head.substr(0, folder), entries_per_name * names, {mark_name, &table});
            if (stop.load())
                return start;
        }
        start = end;
    }
    return start;
}

}  // namespace tolvex
