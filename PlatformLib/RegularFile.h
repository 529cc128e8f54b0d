#pragma once
// Opening input files that can be read to an end without waiting.

#include <filesystem>
#include <fstream>

namespace Kor {

// Opens `path` into `file` with `mode` only when it names a regular file (a symbolic link to
// one counts). A directory, FIFO, socket or device is left unopened like a missing or
// unreadable file: a stream would open a directory without complaint, block on a FIFO that
// has no writer and read a device such as /dev/zero without end. Returns whether `file` is
// open.
bool openRegularFile(std::ifstream& file, const std::filesystem::path& path,
                     std::ios::openmode mode);

}  // namespace Kor
