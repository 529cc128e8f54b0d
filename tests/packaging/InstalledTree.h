#pragma once
// This build as an installation holds it: installed into a fresh folder with `cmake --install`,
// the files an installation must hold, and a listing of a tree to compare with them.

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/Process.h"
#include "tests/support/TempDir.h"

namespace OrvaneTest {

// Every file below root, relative to it and sorted; a symbolic link as "name -> target".
inline std::vector<std::string> listTree(const std::filesystem::path& root) {
    std::vector<std::string> entries;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        const std::string name = entry.path().lexically_relative(root).string();
        if (entry.is_symlink()) {
            entries.push_back(name + " -> " + std::filesystem::read_symlink(entry.path()).string());
        } else if (!entry.is_directory()) {
            entries.push_back(name);
        }
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

// The files of an installation, relative to its prefix: the programs beside their menu, linked
// from bin/; the manual pages; one completion file under the name of each program; the README
// and the examples.
inline std::vector<std::string> expectedInstallTree() {
    std::vector<std::string> entries = {
        "bin/orvane -> ../lib/orvane/orvane",
        "bin/orvane-convert -> ../lib/orvane/orvane-convert",
        "bin/orvane-record -> ../lib/orvane/orvane-record",
        "lib/orvane/OrvaneMenu.cfg",
        "lib/orvane/orvane",
        "lib/orvane/orvane-convert",
        "lib/orvane/orvane-record",
        "share/bash-completion/completions/orvane",
        "share/bash-completion/completions/orvane-convert -> orvane",
        "share/bash-completion/completions/orvane-record -> orvane",
        "share/doc/orvane/README.md",
        "share/man/man1/orvane-convert.1.gz",
        "share/man/man1/orvane-record.1.gz",
        "share/man/man1/orvane.1.gz",
    };
    for (const std::string& example : listTree(ORVANE_SOURCE_DIR "/examples")) {
        entries.push_back("share/doc/orvane/examples/" + example);
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

// `cmake --install` of this build into a fresh folder.
class InstalledTree {
public:
    InstalledTree() {
        mInstall = runProcess(
            {CMAKE_COMMAND_PATH, "--install", ORVANE_BUILD_DIR, "--prefix", prefix().string()});
    }
    const std::filesystem::path& prefix() const { return mDir.path(); }
    // The output of the installation, for a test's message.
    const ProcessResult& install() const { return mInstall; }

private:
    TempDir mDir;
    ProcessResult mInstall;
};

}  // namespace OrvaneTest
