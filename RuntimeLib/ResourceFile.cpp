#include "RuntimeLib/ResourceFile.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "PlatformLib/Process.h"
#include "PlatformLib/Utf8Path.h"
#include "RuntimeLib/Logging.h"

namespace Kor {

namespace {
constexpr const char* kNoModuleMessage = "[Default] GetModuleHandleEx() failed";
}  // namespace

std::optional<std::string> CurrentModule() {
    // The library is linked statically, so the module holding this code is the executable.
    std::string path = ExecutablePath();
    if (path.empty()) {
        QEL_LOG_WARNING("%s", kNoModuleMessage);
        return std::nullopt;
    }
    return path;
}

std::string JoinResourcePath(std::string_view modulePath, std::string_view name) {
    // On Linux "/" is the only separator, so the generic form is the path itself and a
    // backslash stays part of a file name; on Windows every backslash becomes "/".
    return GenericPathToUtf8(PathFromUtf8(modulePath).parent_path() / PathFromUtf8(name));
}

std::string ResolveResourceFile(std::string_view name) {
    std::optional<std::string> module = CurrentModule();
    std::string modulePath;
    if (module) {
        modulePath = std::move(*module);
    } else {
        QEL_LOG_WARNING("%s", kNoModuleMessage);
    }
    if (modulePath.empty()) {
        return std::string(name);
    }
    std::string result = JoinResourcePath(modulePath, name);
    if (IsVerboseEnabled()) {
        // An entry that cannot be examined (no permission, a bad name) counts as missing.
        std::error_code error;
        const bool found = std::filesystem::exists(PathFromUtf8(result), error);
        QEL_LOG_VERBOSE("[Default] Resource File: %.*s => %s %s",
                        static_cast<int>(std::min<size_t>(name.size(), 4096)), name.data(),
                        result.c_str(), found && !error ? " (Found)" : " (Missing)");
    }
    return result;
}

}  // namespace Kor
