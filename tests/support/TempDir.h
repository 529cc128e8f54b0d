#pragma once
// A fresh folder under the system's temporary directory, removed with everything in it.

#include <filesystem>
#include <string>
#include <string_view>

namespace OrvaneTest {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return mPath; }
    // Writes bytes to a file inside the folder and returns its full path; name and path are
    // UTF-8.
    std::string write(std::string_view name, std::string_view bytes) const;

private:
    std::filesystem::path mPath;
};

std::string readFile(const std::filesystem::path& path);

}  // namespace OrvaneTest
