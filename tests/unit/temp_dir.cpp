#include "temp_dir.h"

#include <random>

namespace tolvex::testing {

TempDir::TempDir()
{
    std::random_device seed;
    std::mt19937_64 random(seed());
    auto base = std::filesystem::temp_directory_path();
    do {
        root_ = base / ("tolvex-test-" + std::to_string(random()));
    } while (!std::filesystem::create_directory(root_));
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

}  // namespace tolvex::testing
