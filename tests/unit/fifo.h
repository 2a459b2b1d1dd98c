#pragma once

#include <atomic>
#include <string>
#include <vector>

namespace tolvex::testing {

// Makes a FIFO at `path`. Returns false where the system has none.
bool make_fifo(const std::string& path);

// Waits until someone opens the FIFO at `path` for reading, writes `bytes`
// to it and closes it; gives up when `stop` becomes true first. It never
// opens the FIFO while nobody reads it, so it cannot be the one who wakes a
// reader.
void feed_fifo_when_opened(const std::string& path, const std::vector<unsigned char>& bytes,
                           const std::atomic<bool>& stop);

}  // namespace tolvex::testing
