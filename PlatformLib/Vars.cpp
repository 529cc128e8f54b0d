#include "PlatformLib/Vars.h"

#include <cstdio>
#include <mutex>

#include "PlatformLib/LogOutput.h"
#include "PlatformLib/VarText.h"
#include "PlatformLib/VarsManager.h"

namespace Qel::RuntimeContext {
Kor::VarsManager* VarsManager = nullptr;
}  // namespace Qel::RuntimeContext

namespace Kor {

VarsManager::~VarsManager() = default;

namespace {

constexpr const char* kNoRegistryReport =
    "QelResult ERROR - CFF(Qel::RuntimeContext::VarsManager != nullptr)";

int parseText(const ValueRef& ref, int*) {
    return ParseVarInt(*static_cast<const std::string*>(ref.value));
}
float parseText(const ValueRef& ref, float*) {
    return ParseVarFloat(*static_cast<const std::string*>(ref.value));
}

constexpr VarType typeOf(int*) {
    return VarType::Int;
}
constexpr VarType typeOf(float*) {
    return VarType::Float;
}

// The three steps shared by both bindings; the registry's lock is held.
template <typename T>
T* bindLocked(VarsManager& registry, std::string_view name, T* defaultPointer) {
    const VarType wanted = typeOf(defaultPointer);
    ValueRef r = registry.GetOrAdd(name, ValueRef{defaultPointer, wanted});
    if (r.type == VarType::Text) {
        T value = parseText(r, defaultPointer);
        registry.Set(name, ValueRef{&value, wanted});
        std::optional<ValueRef> converted = registry.Get(name);
        if (!converted) {
            return defaultPointer;
        }
        r = *converted;
    }
    // A variable of another type is not reinterpreted: the use site keeps its default.
    if (r.type != wanted || r.value == nullptr) {
        return defaultPointer;
    }
    return static_cast<T*>(r.value);
}

// Told after the lock is released, straight to the sink: the binding being connected may be
// one of LogLine's own, so LogLine cannot be used here. Its settings are read by name.
void reportTypeMismatch(std::string_view name, const char* wanted) {
    LogSink* sink = Qel::RuntimeContext::LogSink;
    auto read = [](std::string_view setting, int fallback) {
        int value = 0;
        return TryGetInt(setting, value) ? value : fallback;
    };
    const int threshold = read("debug.Default", 3);
    const int show = read("showDebug", 0);
    const int highest = read("logLevel", 4);
    const int level = static_cast<int>(LogLevel::Warning);
    if (sink == nullptr || threshold < level || show < 1 || highest < level) {
        return;
    }
    char message[256];
    std::snprintf(message, sizeof message,
                  "[Default] ! Variable '%.*s' is not of type %s; its default is used",
                  static_cast<int>(name.size()), name.data(), wanted);
    sink->Printf("%-*s%s\n", sink->PrefixWidth(0), "", message);
}

template <typename T>
T* bindVariable(std::string_view name, T* defaultPointer) {
    VarsManager* registry = Qel::RuntimeContext::VarsManager;
    if (registry == nullptr) {
        return defaultPointer;
    }
    T* bound = nullptr;
    if constexpr (std::is_same_v<T, int>) {
        std::lock_guard lock(registry->Mutex());
        bound = BindInt(*registry, name, defaultPointer);
    } else {
        bound = BindFloat(*registry, name, defaultPointer);
    }
    if (bound == defaultPointer) {
        reportTypeMismatch(name, std::is_same_v<T, int> ? "Int" : "Float");
    }
    return bound;
}

}  // namespace

int* BindInt(VarsManager& registry, std::string_view name, int* defaultPointer) {
    return bindLocked(registry, name, defaultPointer);
}

float* BindFloat(VarsManager& registry, std::string_view name, float* defaultPointer) {
    std::lock_guard lock(registry.Mutex());
    return bindLocked(registry, name, defaultPointer);
}

int* BindVariable(std::string_view name, int* defaultPointer) {
    return bindVariable(name, defaultPointer);
}

float* BindVariable(std::string_view name, float* defaultPointer) {
    return bindVariable(name, defaultPointer);
}

bool TryGetInt(std::string_view name, int& value) {
    value = 0;
    VarsManager* registry = Qel::RuntimeContext::VarsManager;
    if (registry == nullptr) {
        return false;
    }
    std::lock_guard lock(registry->Mutex());
    std::optional<ValueRef> r = registry->Get(name);
    if (!r || r->value == nullptr) {
        return false;
    }
    if (r->type == VarType::Int) {
        value = std::atomic_ref<int>(*static_cast<int*>(r->value)).load(std::memory_order_relaxed);
        return true;
    }
    if (r->type == VarType::Text) {
        value = ParseVarInt(*static_cast<const std::string*>(r->value));
        registry->Set(name, ValueRef{&value, VarType::Int});
        return true;
    }
    // Float and String are not integer variables; nothing is converted.
    return false;
}

void SetVar(std::string_view name, const ValueRef& value) {
    VarsManager* registry = Qel::RuntimeContext::VarsManager;
    if (registry == nullptr) {
        ReportFailure(__FILE__, __LINE__, kNoRegistryReport);
        return;
    }
    std::lock_guard lock(registry->Mutex());
    registry->Set(name, value);
}

void SetVarFromText(std::string_view name, std::string_view text) {
    VarsManager* registry = Qel::RuntimeContext::VarsManager;
    if (registry == nullptr) {
        ReportFailure(__FILE__, __LINE__, kNoRegistryReport);
        return;
    }
    registry->SetFromText(name, text);
}

std::map<std::string, std::string> ListVariables() {
    VarsManager* registry = Qel::RuntimeContext::VarsManager;
    if (registry == nullptr) {
        return {};
    }
    std::lock_guard lock(registry->Mutex());
    std::shared_ptr<const VarSnapshot> snapshot = registry->Snapshot();
    return snapshot ? *snapshot : VarSnapshot{};
}

}  // namespace Kor
