#include "tests/support/TempDir.h"

#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <stdexcept>

namespace OrvaneTest {

TempDir::TempDir() {
    // A random name that nothing else has taken: create_directory answers false for a folder
    // that is already there. Only the owner may enter it, as with mkdtemp.
    const std::filesystem::path parent = std::filesystem::temp_directory_path();
    std::random_device source;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path candidate =
            parent / ("orvane-test-" + std::to_string(source()) + std::to_string(source() % 1000));
        if (std::filesystem::create_directory(candidate)) {
            std::filesystem::permissions(candidate, std::filesystem::perms::owner_all);
            mPath = candidate;
            return;
        }
    }
    throw std::runtime_error("no free name for a temporary folder in " + parent.string());
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(mPath, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(mPath, ignored);
}

std::string TempDir::write(std::string_view name, std::string_view bytes) const {
    // The name is UTF-8, as every path inside orvane.
    auto file = mPath / std::filesystem::path(std::u8string(name.begin(), name.end()));
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + file.string());
    }
    const std::u8string utf8 = file.u8string();
    return std::string(utf8.begin(), utf8.end());
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

}  // namespace OrvaneTest
