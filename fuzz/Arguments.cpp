// Command-line words (NUL-separated) through the program's declarations, the walk,
// validation and the typed lookups.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "app/ArgumentParser.h"
#include "app/ProgramOptions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> words{"orvane"};
    std::string current;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            words.push_back(current);
            current.clear();
        } else {
            current.push_back(static_cast<char>(data[i]));
        }
    }
    words.push_back(current);
    // The help word ends the process by design; the integration tests cover it.
    for (const auto& w : words) {
        if (w == "-h" || w == "--help") {
            return 0;
        }
    }
    std::vector<const char*> argv;
    for (const auto& w : words) {
        argv.push_back(w.c_str());
    }

    Kor::ArgumentParser parser(Kor::kProgramName);
    Kor::declareProgramOptions(parser);
    try {
        parser.parseArgs(static_cast<int>(argv.size()), argv.data());
        (void)parser.get<bool>(Kor::kCenterTrajectories);
        (void)parser.get<bool>(Kor::kLogDynamics);
        (void)parser.get<std::vector<std::string>>(Kor::kTrajectoryPaths);
    } catch (const Kor::ParseError&) {
    } catch (const Kor::LookupError&) {
    }
    std::ostringstream help;
    help << parser;
    return 0;
}
