#include "tools/orvane-convert/ConvertFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "tools/orvane-convert/OutputFile.h"
#include "tools/orvane-convert/PoseWriter.h"

namespace OrvaneConvert {

namespace {

// Closes the input on every way out.
class InputFile {
public:
    // "-" is standard input. On failure fd() is -1 and errno tells why.
    explicit InputFile(const std::string& path) {
        if (path == "-") {
            mFd = STDIN_FILENO;
            return;
        }
        mFd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        mOwned = mFd >= 0;
        struct stat status;
        // A folder opens for reading; its read would fail with a less clear message.
        if (mOwned && ::fstat(mFd, &status) == 0 && S_ISDIR(status.st_mode)) {
            ::close(mFd);
            mFd = -1;
            mOwned = false;
            errno = EISDIR;
        }
    }
    ~InputFile() {
        if (mOwned) {
            ::close(mFd);
        }
    }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    int fd() const { return mFd; }

private:
    int mFd = -1;
    bool mOwned = false;
};

}  // namespace

FileConversion convertFile(const ConvertOptions& options) {
    FileConversion result;
    result.inputName = options.input == "-" ? "standard input" : options.input;
    const InputFile input(options.input);
    if (input.fd() < 0) {
        result.error = "cannot read " + result.inputName + ": " + std::strerror(errno);
        return result;
    }
    OutputFile output;
    if (!output.open(options.output)) {
        result.error = output.error();
        return result;
    }
    PoseWriter writer(options.outputForm,
                      [&output](std::string_view bytes) { return output.write(bytes); });
    LineReader lines(readFromDescriptor(input.fd()));
    result.report = convertLines(lines, options.conversion,
                                 [&writer](const OrvanePose& pose) { return writer.write(pose); });
    result.written = result.report.succeeded() && writer.finish() && output.commit();
    if (!result.written) {
        result.outputLeftAlone = !output.writesInPlace();
        result.error = output.error();
        if (result.report.readError != 0) {
            result.error =
                "cannot read " + result.inputName + ": " + std::strerror(result.report.readError);
        }
    }
    return result;
}

}  // namespace OrvaneConvert
