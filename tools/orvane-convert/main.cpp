// orvane-convert: writes an Orvane pose file from a TUM, KITTI or EuRoC camera trajectory.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/orvane-convert/Conversion.h"
#include "tools/orvane-convert/ConvertOptions.h"
#include "tools/orvane-convert/OutputFile.h"
#include "tools/orvane-convert/PoseWriter.h"

namespace {

using namespace OrvaneConvert;

// The input's file descriptor, or -1 with errno set.
int openInput(const std::string& path) {
    if (path == "-") {
        return STDIN_FILENO;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat status;
    if (fd >= 0 && ::fstat(fd, &status) == 0 && S_ISDIR(status.st_mode)) {
        ::close(fd);
        errno = EISDIR;
        return -1;
    }
    return fd;
}

void report(const ConversionReport& result, const std::string& input) {
    for (const RefusedLine& refused : result.refused) {
        std::fprintf(stderr, "orvane-convert: %s:%llu: %s\n", input.c_str(),
                     static_cast<unsigned long long>(refused.line), refused.reason.c_str());
    }
    if (result.refusedLines > result.refused.size()) {
        std::fprintf(stderr, "orvane-convert: %s: %llu more lines refused\n", input.c_str(),
                     static_cast<unsigned long long>(result.refusedLines - result.refused.size()));
    }
    if (result.readError != 0) {
        std::fprintf(stderr, "orvane-convert: cannot read %s: %s\n", input.c_str(),
                     std::strerror(result.readError));
    } else if (result.refusedLines == 0 && result.poses == 0 && !result.sinkFailed) {
        std::fprintf(stderr, "orvane-convert: %s holds no poses, only blank lines and comments\n",
                     input.c_str());
    }
}

}  // namespace

int main(int argc, char** argv) {
    const ParsedOptions parsed =
        parseConvertOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "orvane-convert: %s\n\n%s", parsed.error.c_str(), kUsage);
        return 2;
    }
    const ConvertOptions& options = parsed.options;
    if (options.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    const std::string inputName = options.input == "-" ? "standard input" : options.input;

    const int input = openInput(options.input);
    if (input < 0) {
        std::fprintf(stderr, "orvane-convert: cannot read %s: %s\n", inputName.c_str(),
                     std::strerror(errno));
        return 1;
    }
    OutputFile output;
    if (!output.open(options.output)) {
        std::fprintf(stderr, "orvane-convert: %s\n", output.error().c_str());
        return 1;
    }
    PoseWriter writer(options.outputForm,
                      [&output](std::string_view bytes) { return output.write(bytes); });
    LineReader lines(readFromDescriptor(input));
    const ConversionReport result =
        convertLines(lines, options.conversion,
                     [&writer](const OrvanePose& pose) { return writer.write(pose); });
    report(result, inputName);
    const bool written = result.succeeded() && writer.finish() && output.commit();
    if (!written) {
        if (!output.error().empty()) {
            std::fprintf(stderr, "orvane-convert: %s\n", output.error().c_str());
        }
        if (!output.writesInPlace()) {
            output.discard();
            std::fprintf(stderr, "orvane-convert: nothing written to %s\n", options.output.c_str());
        }
    }
    return written ? 0 : 1;
}
