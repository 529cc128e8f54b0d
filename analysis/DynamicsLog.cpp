#include "analysis/DynamicsLog.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "PlatformLib/Utf8Path.h"
#include "analysis/LogNumberFormat.h"

namespace Kor {

namespace {

constexpr int kTimeWidth = 16;
constexpr int kValueWidth = kLogNumberPrecision + 7;
// A line with every number at its widest, and the line end.
constexpr std::size_t kMaxLineChars = kLogNumberMaxChars + 12 * (kLogNumberMaxChars + 1) + 1;

bool isRegularFile(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::symlink_status(path, error).type() ==
           std::filesystem::file_type::regular;
}

// The error of a failed call; a failure that left errno unset still counts as one.
int lastError() {
    return errno != 0 ? errno : EIO;
}

// After a failed write: a partial log that could pass for a whole one is removed. Anything
// but a regular file (a device, a link to a file elsewhere) is left alone.
DynamicsLogResult discardIncomplete(const std::filesystem::path& path, int error) {
    std::error_code removeError;
    const bool removed = isRegularFile(path) && std::filesystem::remove(path, removeError);
    return {removed ? DynamicsLogOutcome::IncompleteRemoved : DynamicsLogOutcome::IncompleteKept,
            error};
}

}  // namespace

std::string dynamicsLogPath(const std::string& inputPath) {
    // filesystem::path splits by exactly the rule: at '/', Linux's only separator, and on
    // Windows at '\' and '/' too, joining there with '\'.
    const std::filesystem::path input = PathFromUtf8(inputPath);
    return PathToUtf8(input.parent_path() / input.stem()) + "Dynamics.txt";
}

DynamicsLogResult writeDynamicsLog(const std::vector<TrajectoryState>& states,
                                   const std::string& inputPath) {
    const std::string pathText = dynamicsLogPath(inputPath);
    const std::filesystem::path path = PathFromUtf8(pathText);
    // Opening a FIFO for writing waits for a reader, possibly for ever; report it as the
    // system reports a FIFO that nobody reads.
    std::error_code statusError;
    if (std::filesystem::status(path, statusError).type() == std::filesystem::file_type::fifo) {
        return {DynamicsLogOutcome::NotOpened, ENXIO};
    }
    errno = 0;
    // Text mode: the platform's line end.
    std::FILE* file = OpenFile(pathText, "w");
    if (file == nullptr) {
        const int error = lastError();
        return {isRegularFile(path) ? DynamicsLogOutcome::EarlierFileKept
                                    : DynamicsLogOutcome::NotOpened,
                error};
    }
    char line[kMaxLineChars];
    for (const TrajectoryState& state : states) {
        char* p = formatLogNumber(line, state.time, kTimeWidth);
        for (double value : state.velocity) {
            p = formatLogNumber(p, value, kValueWidth);
            *p++ = ' ';
        }
        for (double value : state.acceleration) {
            p = formatLogNumber(p, value, kValueWidth);
            *p++ = ' ';
        }
        *p++ = '\n';
        const auto length = static_cast<std::size_t>(p - line);
        if (std::fwrite(line, 1, length, file) != length || std::fflush(file) != 0) {
            const int error = lastError();
            std::fclose(file);
            return discardIncomplete(path, error);
        }
    }
    // Some file systems report a failed write only when the file is closed.
    if (std::fclose(file) != 0) {
        return discardIncomplete(path, lastError());
    }
    return {};
}

}  // namespace Kor
