// Runs a fuzz target over saved inputs, for builds without the fuzzer: the
// empty input, then every file in the folders named on the command line.
// Each input gets a heap block of exactly its size, so a sanitizer sees any
// read past its end. A broken property aborts the run.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

bool replay(const fs::path& path)
{
    std::vector<std::uint8_t> bytes;
    std::FILE* file = std::fopen(path.string().c_str(), "rb");
    bool read = file != nullptr;
    if (file) {
        std::uint8_t block[4096];
        for (std::size_t n; (n = std::fread(block, 1, sizeof block, file)) > 0;)
            bytes.insert(bytes.end(), block, block + n);
        read = !std::ferror(file);
        read = std::fclose(file) == 0 && read;
    }
    if (!read) {
        std::fprintf(stderr, "replay: cannot read %s\n", path.string().c_str());
        return false;
    }
    std::fprintf(stderr, "replay: %s\n", path.string().c_str());
    auto exact = std::make_unique<std::uint8_t[]>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), exact.get());
    LLVMFuzzerTestOneInput(exact.get(), bytes.size());
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    static const std::uint8_t nothing = 0;
    LLVMFuzzerTestOneInput(&nothing, 0);
    int count = 1;
    for (int i = 1; i < argc; ++i) {
        std::error_code error;
        std::vector<fs::path> paths;
        fs::directory_iterator it(argv[i], error);
        for (; !error && it != fs::directory_iterator(); it.increment(error))
            if (it->is_regular_file(error))
                paths.push_back(it->path());
        if (error) {
            std::fprintf(stderr, "replay: cannot list %s: %s\n", argv[i], error.message().c_str());
            return 1;
        }
        std::sort(paths.begin(), paths.end());
        for (const fs::path& path : paths) {
            if (!replay(path))
                return 1;
            ++count;
        }
    }
    std::printf("replayed %d inputs\n", count);
    return 0;
}
