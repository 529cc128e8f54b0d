#include "tests/support/Process.h"

namespace OrvaneTest {

ProcessResult runOrvane(const std::vector<std::string>& args, const ProcessOptions& options) {
    std::vector<std::string> argv{ORVANE_EXE};
    argv.insert(argv.end(), args.begin(), args.end());
    return runProcess(argv, options);
}

}  // namespace OrvaneTest
