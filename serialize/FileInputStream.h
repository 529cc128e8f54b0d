#pragma once
// An InputStream that owns a file opened in binary mode.

#include "serialize/IOStreamInputStream.h"

#include <filesystem>
#include <fstream>

namespace Kor::serialize {

class FileInputStream : public IOStreamInputStream {
public:
    // Opens `path` for reading. Only regular files are opened: a directory, FIFO or device
    // leaves the stream failed from the start, as does a file that cannot be opened, so that
    // every later read fails instead of blocking on a FIFO or reading a device without end.
    explicit FileInputStream(const std::filesystem::path& path);
    ~FileInputStream() override;

    FileInputStream(const FileInputStream&) = delete;
    FileInputStream& operator=(const FileInputStream&) = delete;

private:
    std::ifstream mFile;
};

}  // namespace Kor::serialize
