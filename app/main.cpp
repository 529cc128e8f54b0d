// orvane: reads the trajectory files named on the command line, reports on them and shows
// them in one 3-D window.
#include <fmt/core.h>

#include <exception>
#include <filesystem>
#include <iostream>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "PlatformLib/InMemoryVarsManager.h"
#include "PlatformLib/Process.h"
#include "PlatformLib/StderrLogSink.h"
#include "PlatformLib/Utf8Path.h"
#include "app/ArgumentParser.h"
#include "app/ProgramOptions.h"
#include "app/ShowTrajectories.h"
#include "app/TrajectoryProcessing.h"

int main(int argc, char** argv) {
    Kor::InstallInMemoryVarsManager();
    Kor::InstallStderrLogSink();
    Kor::ArgumentParser parser(Kor::kProgramName);
    std::vector<std::vector<Kor::PoseSample>> poseLists;  // one per processed path
    std::vector<Kor::TrajectoryColours::Colour> colours;  // one per processed path
    try {
        Kor::declareProgramOptions(parser);
        // Every path in the program is UTF-8 from here on.
        parser.parseArgs(Kor::CommandLineArguments(argc, argv));

        std::vector<std::string> paths =
            parser.get<std::vector<std::string>>(Kor::kTrajectoryPaths);
        fmt::print("{} trajectories provided\n\n", paths.size());

        // Seeded once, from the system's random source, before the first path.
        Kor::TrajectoryColours colourSource(std::random_device{}());
        // Shared by the samples of all paths.
        Kor::SampleBudget sampleBudget = Kor::SampleBudget::ofThisProcess();
        for (const std::string& path : paths) {
            // A failing query other than "not found" throws with the platform's message.
            if (!std::filesystem::exists(Kor::PathFromUtf8(path))) {
                throw std::runtime_error("Trajectory path " + path + " does not exist!");
            }
            const Kor::ProcessingOptions options{parser.get<bool>(Kor::kCenterTrajectories),
                                                 parser.get<bool>(Kor::kLogDynamics)};
            poseLists.push_back(Kor::processTrajectoryPath(path, options, sampleBudget));
            colours.push_back(colourSource.next());
        }
    } catch (const std::exception& error) {
        std::cout.flush();
        fmt::print(stderr, "Error: {}\n\n", error.what());
        std::cerr << parser << '\n';
        return 1;
    }

    // Show every trajectory until the window is closed.
    return Kor::showTrajectories(poseLists, colours);
}
