#include "PlatformLib/InMemoryVarsManager.h"

#include <atomic>
#include <charconv>
#include <cmath>
#include <mutex>

#include "PlatformLib/VarText.h"

namespace Kor {
namespace {

// Bindings read these without the lock.
void storeInt(int& target, int value) {
    std::atomic_ref<int>(target).store(value, std::memory_order_relaxed);
}
void storeFloat(float& target, float value) {
    std::atomic_ref<float>(target).store(value, std::memory_order_relaxed);
}

template <typename T>
std::string numberText(T value) {
    char buffer[64];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return error == std::errc() ? std::string(buffer, end) : std::string();
}

}  // namespace

InMemoryVarsManager::Variable& InMemoryVarsManager::add(std::string_view name) {
    auto found = mVariables.find(name);
    if (found != mVariables.end()) {
        return *found->second;
    }
    auto [inserted, ok] = mVariables.emplace(std::string(name), std::make_unique<Variable>());
    (void)ok;
    return *inserted->second;
}

void InMemoryVarsManager::store(Variable& variable, const ValueRef& value) {
    switch (value.type) {
        case VarType::Int: {
            const int v = *static_cast<const int*>(value.value);
            storeInt(variable.intValue, v);
            storeFloat(variable.floatValue, static_cast<float>(v));
            break;
        }
        case VarType::Float: {
            const float v = *static_cast<const float*>(value.value);
            storeFloat(variable.floatValue, v);
            storeInt(variable.intValue, TruncateToInt(v));
            break;
        }
        case VarType::Text:
        case VarType::String: {
            variable.text = *static_cast<const std::string*>(value.value);
            storeInt(variable.intValue, ParseVarInt(variable.text));
            storeFloat(variable.floatValue, ParseVarFloat(variable.text));
            break;
        }
        default:
            // A type byte this registry does not know is not stored.
            return;
    }
    variable.type = value.type;
}

ValueRef InMemoryVarsManager::refOf(Variable& variable) {
    switch (variable.type) {
        case VarType::Int:
            return {&variable.intValue, VarType::Int};
        case VarType::Float:
            return {&variable.floatValue, VarType::Float};
        default:
            return {&variable.text, variable.type};
    }
}

std::optional<ValueRef> InMemoryVarsManager::Get(std::string_view name) {
    auto found = mVariables.find(name);
    if (found == mVariables.end()) {
        return std::nullopt;
    }
    return refOf(*found->second);
}

ValueRef InMemoryVarsManager::GetOrAdd(std::string_view name, const ValueRef& defaultValue) {
    auto found = mVariables.find(name);
    if (found != mVariables.end()) {
        return refOf(*found->second);
    }
    Variable& variable = add(name);
    store(variable, defaultValue);
    return refOf(variable);
}

void InMemoryVarsManager::Set(std::string_view name, const ValueRef& value) {
    store(add(name), value);
}

void InMemoryVarsManager::SetFromText(std::string_view name, std::string_view text) {
    std::lock_guard lock(mMutex);
    auto found = mVariables.find(name);
    if (found == mVariables.end()) {
        std::string held(text);
        store(add(name), ValueRef{&held, VarType::Text});
        return;
    }
    Variable& variable = *found->second;
    switch (variable.type) {
        case VarType::Int: {
            int value = ParseVarInt(text);
            store(variable, ValueRef{&value, VarType::Int});
            break;
        }
        case VarType::Float: {
            float value = ParseVarFloat(text);
            store(variable, ValueRef{&value, VarType::Float});
            break;
        }
        default: {
            std::string held(text);
            store(variable, ValueRef{&held, variable.type});
            break;
        }
    }
}

std::shared_ptr<const VarSnapshot> InMemoryVarsManager::Snapshot() {
    auto snapshot = std::make_shared<VarSnapshot>();
    for (const auto& [name, variable] : mVariables) {
        std::string text;
        switch (variable->type) {
            case VarType::Int:
                text = numberText(variable->intValue);
                break;
            case VarType::Float:
                text = numberText(variable->floatValue);
                break;
            default:
                text = variable->text;
                break;
        }
        snapshot->emplace_hint(snapshot->end(), name, std::move(text));
    }
    return snapshot;
}

void InstallInMemoryVarsManager() {
    // Never destroyed: bindings keep pointers into it until the very end of the process.
    static VarsManager* const registry = [] {
        auto* created = new InMemoryVarsManager();
        Qel::RuntimeContext::VarsManager = created;
        return created;
    }();
    (void)registry;
}

}  // namespace Kor
