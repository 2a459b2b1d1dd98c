#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "fileio/byte_input.h"
#include "fileio/file_batch.h"
#include "god_file_writer.h"
#include "temp_dir.h"

namespace tolvex {
namespace {

using Bytes = std::vector<unsigned char>;

Bytes pattern(std::size_t size, unsigned seed)
{
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<unsigned char>(i * 131 + i / 251 + seed);
    return bytes;
}

struct Case {
    const char* name;
    std::size_t size;  // of a plain file
    bool read;
};

const Case cases[] = {
    {"one byte", 1, true},
    {"a report's size", 700, true},
    {"over a page", 5000, true},
    {"one short of the room", input_buffer_size - 1, true},
    {"the room's size", input_buffer_size, false},
    {"past the room", input_buffer_size + 1, false},
    {"empty", 0, true},
    {"a folder", 0, false},
    {"missing", 0, false},
};

// How often each file was announced; `first` is the place of the batch's
// first file among all.
struct Calls {
    std::vector<int> count;
    std::size_t first = 0;
};

void count_call(void* context, std::size_t place)
{
    auto& calls = *static_cast<Calls*>(context);
    calls.count.at(calls.first + place) += 1;
}

// Every file of a batch is read whole or reported unread, and announced
// once, whether the system's queue reads them (several batches through one
// queue, its descriptors used again) or they are read one after another.
TEST(FileBatch, ReadsEachFileWholeOrNotAtAll)
{
    testing::TempDir dir;
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        std::string name = cases[i].name;
        paths.push_back(dir.path(name));
        if (name == "a folder") {
            std::filesystem::create_directory(paths.back());
        } else if (name != "missing") {
            ASSERT_TRUE(testing::save_file(paths.back(), pattern(cases[i].size, i)));
        }
    }
    for (bool queued : {true, false}) {
        SCOPED_TRACE(queued ? "queued" : "one by one");
        std::vector<Bytes> rooms(std::size(cases), Bytes(input_buffer_size));
        std::vector<BatchedFile> files;
        for (std::size_t i = 0; i < std::size(cases); ++i)
            files.push_back({&paths[i], rooms[i].data()});
        Calls calls{std::vector<int>(files.size())};
        FileBatch batch = open_file_batch(4);
        for (calls.first = 0; calls.first < files.size(); calls.first += 4) {
            std::span run(files.data() + calls.first,
                          std::min<std::size_t>(4, files.size() - calls.first));
            if (queued)
                read_file_batch(batch, run, {count_call, &calls});
            else
                read_files_one_by_one(run, {count_call, &calls});
        }
        for (std::size_t i = 0; i < std::size(cases); ++i) {
            SCOPED_TRACE(cases[i].name);
            EXPECT_EQ(calls.count[i], 1);
            ASSERT_EQ(files[i].read, cases[i].read);
            if (!cases[i].read)
                continue;
            Bytes bytes(rooms[i].begin(),
                        rooms[i].begin() + static_cast<std::ptrdiff_t>(files[i].size));
            EXPECT_EQ(bytes, pattern(cases[i].size, static_cast<unsigned>(i)));
        }
    }
}

}  // namespace
}  // namespace tolvex
