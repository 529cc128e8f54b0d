#pragma once
// The settings registry the program installs: variables in memory, never removed, each value
// at a fixed address for the life of the process.

#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "PlatformLib/VarsManager.h"

namespace Kor {

class InMemoryVarsManager final : public VarsManager {
public:
    InMemoryVarsManager() = default;
    InMemoryVarsManager(const InMemoryVarsManager&) = delete;
    InMemoryVarsManager& operator=(const InMemoryVarsManager&) = delete;

    std::optional<ValueRef> Get(std::string_view name) override;
    ValueRef GetOrAdd(std::string_view name, const ValueRef& defaultValue) override;
    void Set(std::string_view name, const ValueRef& value) override;
    // Converts to the variable's type; a new name is held as Text until something binds it.
    void SetFromText(std::string_view name, std::string_view text) override;
    // Int in decimal, Float as the shortest text that reads back the same, texts as they are.
    std::shared_ptr<const VarSnapshot> Snapshot() override;

private:
    // Every representation is kept current on each write, so a binding connected while the
    // variable had one type still follows it after a write of another type.
    struct Variable {
        VarType type = VarType::Text;
        int intValue = 0;
        float floatValue = 0.0f;
        std::string text;
    };

    Variable& add(std::string_view name);
    static void store(Variable& variable, const ValueRef& value);
    static ValueRef refOf(Variable& variable);

    // unique_ptr keeps each variable in place while the map grows.
    std::map<std::string, std::unique_ptr<Variable>, std::less<>> mVariables;
};

// Installs a registry that lives as long as the process, once; later calls do nothing.
void InstallInMemoryVarsManager();

}  // namespace Kor
