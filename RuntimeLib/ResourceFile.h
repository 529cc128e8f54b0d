#pragma once
// Data files that belong to the program are found beside its executable, not in the working
// directory.

#include <optional>
#include <string>
#include <string_view>

namespace Kor {

// File path of the module holding this library's code: the running executable. None when the
// system cannot tell (logged as a warning).
std::optional<std::string> CurrentModule();

// The name joined to the directory of CurrentModule, in generic form; when verbose logging is
// on, whether the file is there is logged. Without a module path the name comes back as is.
std::string ResolveResourceFile(std::string_view name);

// The name joined to the directory of modulePath by the standard path rules: an absolute name
// stands alone, a module directly under the root keeps the root separator.
std::string JoinResourcePath(std::string_view modulePath, std::string_view name);

}  // namespace Kor
