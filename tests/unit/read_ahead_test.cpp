#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "capture.h"
#include "cli/driver.h"
#include "fifo.h"
#include "fileio/read_ahead_state.h"
#include "god_file_writer.h"
#include "godfile/primitives.h"
#include "special_files.h"
#include "temp_dir.h"

namespace tolvex {
namespace {

using Bytes = std::vector<unsigned char>;

Bytes pattern(std::size_t size)
{
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<unsigned char>(i * 131 + i / 251);
    return bytes;
}

// "f12" for ("f", 12).
std::string numbered(const char* prefix, std::size_t number)
{
    std::string name = prefix;
    name += std::to_string(number);
    return name;
}

// The program's name, then `count` files named f0, f1, ... in `dir`, each
// holding `bytes`.
std::vector<std::string> saved_files(const testing::TempDir& dir, int count, const Bytes& bytes)
{
    std::vector<std::string> paths{"tolvex"};
    for (int i = 0; i < count; ++i) {
        paths.push_back(dir.path(numbered("f", static_cast<std::size_t>(i))));
        EXPECT_TRUE(testing::save_file(paths.back(), bytes));
    }
    return paths;
}

Bytes drain(ByteInput& input)
{
    Bytes bytes;
    for (int byte; (byte = read_u8(input)) >= 0;)
        bytes.push_back(static_cast<unsigned char>(byte));
    return bytes;
}

// Waits until the workers have taken up every file, all in the window, and
// are done with each, so that what the caller is handed no longer depends
// on who was quicker, and its slot may be looked at.
bool all_taken_up(ReadAhead& ahead)
{
    auto done = [&ahead] {
        for (std::size_t index = 1; index < ahead.paths->size(); ++index) {
            if (slot_of(ahead, index).ready.load() != index)
                return false;
        }
        return true;
    };
    for (int i = 0; i < 20000; ++i) {
        if (ahead.next_claim.load() == ahead.paths->size() && done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

// What the caller is handed for each kind of name: the whole file through
// the input, whatever its size against the buffer's, or nothing at all for
// what only its own turn may open; alike where a look at each name told its
// size and where their folder's listing told only which are plain files.
TEST(ReadAhead, HandsOverPlainFilesWholeAndLeavesTheRestToTheCaller)
{
    struct Case {
        const char* name;
        std::size_t size;  // of a plain file
        bool read_ahead;
    };
    const Case cases[] = {
        {"one byte", 1, true},
        {"a report's size", 700, true},
        {"one short of the buffer", input_buffer_size - 1, true},
        {"the buffer's size", input_buffer_size, true},
        {"one past the buffer", input_buffer_size + 1, true},
        {"three buffers and some", 3 * input_buffer_size + 17, true},
        {"empty", 0, false},
        {"a folder", 0, false},
        {"missing", 0, false},
    };
    testing::TempDir dir;
    std::vector<std::string> paths{"tolvex"};
    std::vector<bool> listed_plain{false};
    for (const Case& c : cases) {
        paths.push_back(dir.path(c.name));
        std::string name = c.name;
        if (name == "a folder") {
            std::filesystem::create_directory(paths.back());
        } else if (name != "missing") {
            ASSERT_TRUE(testing::save_file(paths.back(), pattern(c.size)));
        }
        listed_plain.push_back(name != "a folder" && name != "missing");
    }

    for (bool listed : {false, true}) {
        SCOPED_TRACE(listed ? "listed" : "looked at");
        ReadAheadRun ahead = start_read_ahead(
            paths, 1, {.window = std::size(cases), .threads = 3, .list_from = listed ? 1u : 0u},
            listed ? listed_plain : std::vector<bool>());
        ASSERT_TRUE(all_taken_up(*ahead));
        for (std::size_t i = 0; i < std::size(cases); ++i) {
            SCOPED_TRACE(cases[i].name);
            EXPECT_EQ(slot_of(*ahead, i + 1).filled, cases[i].read_ahead);
            ByteInput input;
            int error = open_input(ahead.get(), i + 1, paths[i + 1], input);
            if (!cases[i].read_ahead)
                continue;
            ASSERT_EQ(error, 0);
            EXPECT_EQ(drain(input), pattern(cases[i].size));
            EXPECT_EQ(input.error, 0);
            close_input(ahead.get(), i + 1, input);
        }
    }
}

// More files than the window, taken while the workers still run, with
// several turns of every slot: each file arrives whole and as itself.
TEST(ReadAhead, KeepsEachFileApartAcrossTurnsOfTheWindow)
{
    testing::TempDir dir;
    std::vector<std::string> paths{"tolvex"};
    for (std::size_t i = 0; i < 200; ++i) {
        paths.push_back(dir.path(numbered("f", i)));
        Bytes bytes = pattern(i % 7 == 0 ? input_buffer_size + i : 100 + i);
        bytes[0] = static_cast<unsigned char>(i);
        ASSERT_TRUE(testing::save_file(paths.back(), bytes));
    }
    ReadAheadRun ahead = start_read_ahead(paths, 1, {.window = 5, .threads = 4});
    for (std::size_t i = 1; i < paths.size(); ++i) {
        ByteInput input;
        ASSERT_EQ(open_input(ahead.get(), i, paths[i], input), 0);
        Bytes bytes = drain(input);
        ASSERT_FALSE(bytes.empty());
        EXPECT_EQ(bytes[0], static_cast<unsigned char>(i - 1));
        EXPECT_EQ(bytes.size(), (i - 1) % 7 == 0 ? input_buffer_size + i - 1 : 100 + i - 1);
        close_input(ahead.get(), i, input);
    }
}

TEST(ReadAhead, AWindowOfZeroLeavesEveryFileToTheCaller)
{
    testing::TempDir dir;
    std::vector<std::string> paths{"tolvex", dir.path("a"), dir.path("b")};
    for (std::size_t i = 1; i < paths.size(); ++i)
        ASSERT_TRUE(testing::save_file(paths[i], pattern(10)));
    for (ReadAheadPlan plan : {ReadAheadPlan{0, 4}, ReadAheadPlan{4, 0}}) {
        ReadAheadRun ahead = start_read_ahead(paths, 1, plan);
        EXPECT_TRUE(ahead->workers.empty());
        ByteInput input;
        ASSERT_EQ(open_input(ahead.get(), 1, paths[1], input), 0);
        EXPECT_TRUE(input.has_file);  // opened by the caller
        close_input(ahead.get(), 1, input);
    }
}

// The descriptors the process holds; none where the system does not list
// them.
std::optional<std::size_t> open_descriptors()
{
    if (*testing::descriptor_folder == '\0')
        return {};
    std::error_code error;
    std::filesystem::directory_iterator listing(testing::descriptor_folder, error);
    if (error)
        return {};
    return static_cast<std::size_t>(std::distance(listing, {})) - 1;  // less the listing's own
}

// Stopping with every slot full closes what the slots hold, but not the
// descriptor already handed over, which stays the caller's to read on and
// close: each is closed once.
TEST(ReadAhead, StoppingClosesWhatTheSlotsHoldAndLeavesTheCallersOwn)
{
    testing::TempDir dir;
    std::vector<std::string> paths = saved_files(dir, 12, pattern(input_buffer_size + 100));
    std::optional<std::size_t> before = open_descriptors();
    if (!before)
        GTEST_SKIP() << "the system does not list a process's descriptors";
    ReadAheadRun ahead = start_read_ahead(paths, 1, {.window = 16, .threads = 2});
    ASSERT_TRUE(all_taken_up(*ahead));
    ByteInput input;
    ASSERT_EQ(open_input(ahead.get(), 1, paths[1], input), 0);
    ASSERT_TRUE(input.has_file);
    EXPECT_GT(open_descriptors(), *before + 10);
    Bytes bytes(buffered(input));
    for (unsigned char& byte : bytes)
        byte = static_cast<unsigned char>(read_u8(input));  // the slot's bytes, before they go
    ahead.reset();
    EXPECT_EQ(open_descriptors(), *before + 1);  // the caller's file alone
    Bytes rest = drain(input);
    bytes.insert(bytes.end(), rest.begin(), rest.end());
    EXPECT_EQ(bytes, pattern(input_buffer_size + 100));
    EXPECT_EQ(input.error, 0);
    close_input(nullptr, 1, input);
    EXPECT_EQ(open_descriptors(), *before);
}

// The caller sleeping for its file is woken once that file and the few
// after it that are taken up are done, whichever of them comes last, and
// at the end of the names, where fewer follow: each run would hang without
// its waking, and is not woken before its file is there.
TEST(ReadAhead, WakesTheCallerForTheLastFileItWaitsFor)
{
    struct Case {
        const char* name;
        std::size_t files;  // after the program's name
        std::size_t waited;
        bool backwards;  // published last file first
    };
    const Case cases[] = {
        {"eight after it, in order", 20, 3, false},
        {"eight after it, backwards", 20, 3, true},
        {"the last file alone", 20, 20, false},
        {"three to the end, in order", 20, 18, false},
        {"three to the end, backwards", 20, 18, true},
        {"one file", 1, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> paths(c.files + 1, "unread");
        ReadAheadRun ahead = start_read_ahead(paths, 1, {});
        ASSERT_TRUE(open_window(*ahead, 1, 32));
        ahead->next_claim.store(paths.size());  // all taken up, by a stand-in worker
        std::thread worker([&ahead, &c, &paths] {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            for (std::size_t n = 1; n < paths.size(); ++n) {
                std::size_t index = c.backwards ? paths.size() - n : n;
                if (index >= c.waited)
                    publish(*ahead, index);
            }
        });
        EXPECT_TRUE(wait_for(*ahead, c.waited));
        EXPECT_EQ(slot_of(*ahead, c.waited).ready.load(), c.waited);  // not woken before
        worker.join();
        close_window(*ahead);
    }
}

// Few files read nothing ahead; many do.
TEST(ReadAhead, StartsNoThreadForAFewFiles)
{
    EXPECT_EQ(default_read_ahead_plan(1).threads, 0u);
    EXPECT_EQ(default_read_ahead_plan(2).threads, 0u);
    // Workers for a disk whatever the processors; for files in memory only
    // after the caller's first files.
    ReadAheadPlan many = default_read_ahead_plan(1000);
    EXPECT_GT(many.disk_threads, 0u);
    EXPECT_GT(many.disk_window, 0u);
    EXPECT_GT(many.threads_after, 0u);
}

// Storage counts: one that grows at every look, as on a cold disk; one
// that stands still, as when the slow reads only lost their processor; and
// a system that keeps none.
std::optional<std::uint64_t> growing_count()
{
    static std::uint64_t count = 0;
    return count += 4096;
}
std::optional<std::uint64_t> still_count()
{
    return 4096;
}
std::optional<std::uint64_t> no_count()
{
    return {};
}

// Reads wait on the disk only after three slow reads of the caller's own
// within 16 files, with bytes fetched from storage between the last two:
// one slow read may be a lost processor, two may be the few files of a warm
// folder that the page cache let go, while files in the page cache come in
// microseconds.
TEST(ReadAheadPlan, ReadsWaitOnTheDiskAfterThreeSlowReadsCloseTogether)
{
    using std::chrono::microseconds;
    struct Case {
        const char* name;
        std::vector<std::pair<std::size_t, microseconds>> reads;  // index, time taken
        StorageCount storage;
        bool waits;
        unsigned disk_threads = 2;
    };
    const microseconds slow{900};
    const microseconds fast{10};
    const Case cases[] = {
        {"all fast", {{1, fast}, {2, fast}, {3, fast}}, growing_count, false},
        {"one slow", {{1, slow}, {2, fast}, {3, fast}}, growing_count, false},
        {"two slow in a row", {{1, fast}, {2, slow}, {3, slow}, {4, fast}}, growing_count, false},
        {"three slow in a row", {{1, fast}, {2, slow}, {3, slow}, {4, slow}}, growing_count, true},
        {"three slow within 16", {{1, slow}, {9, slow}, {17, slow}}, growing_count, true},
        {"three slow over 17", {{1, slow}, {9, slow}, {18, slow}}, growing_count, false},
        {"pairs far apart", {{1, slow}, {2, slow}, {40, slow}, {41, slow}}, growing_count, false},
        {"just at the bound is not slow",
         {{1, microseconds(500)}, {2, microseconds(500)}, {3, microseconds(500)}},
         growing_count,
         false},
        {"three slow, nothing from storage",
         {{1, slow}, {2, slow}, {3, slow}, {4, slow}},
         still_count,
         false},
        {"three slow, storage not counted", {{1, slow}, {2, slow}, {3, slow}}, no_count, true},
        {"no workers for a disk", {{1, slow}, {2, slow}, {3, slow}}, growing_count, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReadAheadPlan plan{.disk_window = 4,
                           .disk_threads = c.disk_threads,
                           .slow_read = microseconds(500),
                           .fetched_so_far = c.storage};
        SlowReads seen;
        bool waits = false;
        for (auto [index, took] : c.reads)
            waits = reads_wait_on_disk(seen, plan, index, took) || waits;
        EXPECT_EQ(waits, c.waits);
    }
}

// The arming clock times the caller's own open and read alone, not its
// wait for a worker that then leaves the file to it: two long waits for
// warm files, on a system that counts no bytes from storage, start no
// workers for a disk.
TEST(ReadAhead, TheCallersWaitsDoNotCountAsSlowReads)
{
    testing::TempDir dir;
    std::vector<std::string> paths = saved_files(dir, 10, pattern(100));
    ReadAheadRun ahead = start_read_ahead(paths, 1,
                                          {.disk_window = 4,
                                           .disk_threads = 2,
                                           .slow_read = std::chrono::milliseconds(10),
                                           .fetched_so_far = no_count});
    ASSERT_TRUE(open_window(*ahead, 1, 16));
    ahead->next_claim.store(paths.size());  // all taken up, by a stand-in worker
    // It leaves each file to the caller, who waits for the first nine and
    // then for the tenth.
    std::thread worker([&ahead] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        for (std::size_t index = 1; index < 10; ++index)
            publish(*ahead, index);
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        publish(*ahead, 10);
    });
    for (std::size_t index = 1; index < paths.size(); ++index) {
        ByteInput input;
        ASSERT_EQ(open_input(ahead.get(), index, paths[index], input), 0);
        EXPECT_EQ(drain(input), pattern(100));
        close_input(ahead.get(), index, input);
    }
    worker.join();
    EXPECT_FALSE(ahead->reads_wait);
}

// Once the disk's workers have taken over, the file at which the workers
// for files in memory were to start starts nothing more: a second window
// opened under running workers had hung a cold run.
TEST(ReadAhead, TheDisksWorkersStayOnceTheyHaveTakenOver)
{
    testing::TempDir dir;
    std::vector<std::string> paths = saved_files(dir, 30, pattern(100));
    ReadAheadRun ahead = start_read_ahead(paths, 1,
                                          {.window = 4,
                                           .threads = 1,
                                           .threads_after = 5,
                                           .disk_window = 8,
                                           .disk_threads = 2,
                                           .fetched_so_far = growing_count});  // every read slow
    const unsigned char* window = nullptr;  // the disk's, once it opens
    for (std::size_t index = 1; index < paths.size(); ++index) {
        ByteInput input;
        ASSERT_EQ(open_input(ahead.get(), index, paths[index], input), 0);
        EXPECT_EQ(drain(input), pattern(100));
        close_input(ahead.get(), index, input);
        if (ahead->disk_mode && !window)
            window = ahead->buffers.get();
        if (window) {
            EXPECT_EQ(ahead->buffers.get(), window) << "at file " << index;
        }
    }
    EXPECT_NE(window, nullptr);
}

// Randomised runs over names of every kind, the first failing one at a
// random place: reading ahead gives the same bytes, in the same order
// (reports and messages share one stream), and the same status as reading
// one file at a time.
class ReadAheadEquivalence : public ::testing::Test {
protected:
    enum Kind { good, big, fifo_good, short_file, missing, folder, empty, fifo_short, kinds };

    void SetUp() override
    {
        for (std::uint32_t seed = 0; seed < 8; ++seed) {
            testing::GodFileFields f;
            f.seed = seed;
            f.nation = static_cast<int>(seed * 9);
            f.caption_a = std::string(seed * 3, 'c');
            f.gap = seed * 50;
            goods_.push_back(dir_.path(numbered("good", seed) + ".god"));
            ASSERT_TRUE(testing::save_file(goods_.back(), testing::write_god_file(f)));
        }
        testing::GodFileFields f;
        f.caption_b = std::string(3 * input_buffer_size, 'b');  // past the first buffer-full
        ASSERT_TRUE(testing::save_file(dir_.path("big.god"), testing::write_god_file(f)));
        good_bytes_ = testing::write_god_file({});
        short_bytes_ = good_bytes_;
        short_bytes_.resize(90);
        ASSERT_TRUE(testing::save_file(dir_.path("short.god"), short_bytes_));
        ASSERT_TRUE(testing::save_file(dir_.path("empty.god"), {}));
        std::filesystem::create_directory(dir_.path("folder.god"));
        fifos_ = testing::make_fifo(dir_.path("probe.fifo"));
    }

    std::string name_of(Kind kind, std::size_t position, std::mt19937& random)
    {
        switch (kind) {
        case good:
            return goods_[random() % goods_.size()];
        case big:
            return dir_.path("big.god");
        case short_file:
            return dir_.path("short.god");
        case missing:
            return dir_.path("missing.god");
        case folder:
            return dir_.path("folder.god");
        case empty:
            return dir_.path("empty.god");
        default: {
            // Each FIFO is named once, and fed afresh for every run.
            std::string path = dir_.path(numbered("f", position) + ".fifo");
            std::filesystem::remove(path);
            EXPECT_TRUE(testing::make_fifo(path));
            fifo_contents_.emplace_back(path, kind == fifo_good ? good_bytes_ : short_bytes_);
            return path;
        }
        }
    }

    struct Run {
        int status;
        std::string text;
    };

    Run run(const std::vector<std::string>& arguments, ReadAheadPlan plan)
    {
        std::atomic<bool> stop{false};
        std::vector<std::thread> writers;
        for (const auto& [path, bytes] : fifo_contents_)
            writers.emplace_back(testing::feed_fifo_when_opened, std::cref(path), std::cref(bytes),
                                 std::cref(stop));
        testing::Capture both;
        Output out;
        out.stream = both.stream();
        int status = run_tolvex(arguments, out, {both.stream(), false}, plan);
        stop = true;
        for (std::thread& writer : writers)
            writer.join();
        return {status, both.text()};
    }

    testing::TempDir dir_;
    std::vector<std::string> goods_;
    Bytes good_bytes_;
    Bytes short_bytes_;
    bool fifos_ = false;
    std::vector<std::pair<std::string, Bytes>> fifo_contents_;
};

TEST_F(ReadAheadEquivalence, GivesWhatReadingOneFileAtATimeGives)
{
    for (std::uint32_t seed = 1; seed <= 60; ++seed) {
        SCOPED_TRACE(numbered("seed ", seed));
        std::mt19937 random(seed);
        std::size_t count = 1 + random() % 80;
        std::size_t failing = random() % (count + 1);  // count: none fails
        fifo_contents_.clear();
        std::vector<std::string> arguments{"tolvex"};
        for (std::size_t i = 0; i < count; ++i) {
            Kind kind;
            do {
                if (i == failing)
                    kind = static_cast<Kind>(short_file + random() % (kinds - short_file));
                else if (i < failing)
                    kind = random() % 10 == 0 ? static_cast<Kind>(random() % short_file) : good;
                else
                    kind = static_cast<Kind>(random() % kinds);
            } while (!fifos_ && (kind == fifo_good || kind == fifo_short));
            arguments.push_back(name_of(kind, i, random));
        }
        // Workers from the start, after the caller's first two reads, or
        // both; the folder listed, or every name looked at.
        auto threads = static_cast<unsigned>(random() % 4);
        ReadAheadPlan plan{.window = 1 + random() % 12,
                           .threads = threads,
                           .threads_after = random() % 4,
                           .caller_share = static_cast<unsigned>(random() % 4),
                           .disk_window = random() % 13,
                           .disk_threads = static_cast<unsigned>(random() % 5),
                           .list_from = random() % 6,
                           .fetched_so_far = growing_count};

        Run one_at_a_time = run(arguments, {});
        Run ahead = run(arguments, plan);
        EXPECT_EQ(ahead.status, one_at_a_time.status);
        EXPECT_EQ(ahead.text, one_at_a_time.text);
        EXPECT_EQ(one_at_a_time.status, failing < count ? exit_cannot_read : exit_success);
    }
}

}  // namespace
}  // namespace tolvex
