#pragma once
// Named settings: typed variables behind the process-wide registry, read at each use site
// through a binding that costs one pointer dereference once connected.

#include <atomic>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <type_traits>

namespace Kor {

// The byte values are part of the registry interface.
enum class VarType : uint8_t { Text = 0, Int = 1, Float = 2, String = 3 };

// Points at a value's storage: int for Int, float for Float, std::string for Text and String.
// Handed to the registry it points at the caller's value (copied); returned by the registry it
// points at the registry's own storage of that variable.
struct ValueRef {
    void* value;
    VarType type;
};

class VarsManager;

}  // namespace Kor

namespace Qel::RuntimeContext {
// Empty unless the program installs a registry; every reader copes with that.
extern Kor::VarsManager* VarsManager;
}  // namespace Qel::RuntimeContext

namespace Kor {

// The caller holds the registry's lock. A variable held as text becomes an Int; a variable of
// another type is left alone and the default pointer comes back.
int* BindInt(VarsManager& registry, std::string_view name, int* defaultPointer);
// Takes the registry's lock itself; otherwise as BindInt.
float* BindFloat(VarsManager& registry, std::string_view name, float* defaultPointer);

// First-use connection of a binding: into the registry when one is installed, else the default.
int* BindVariable(std::string_view name, int* defaultPointer);
float* BindVariable(std::string_view name, float* defaultPointer);

// False with 0 when there is no registry or no integer variable of that name.
bool TryGetInt(std::string_view name, int& value);
// Without a registry both writers report the failed check and write nothing.
void SetVar(std::string_view name, const ValueRef& value);
void SetVarFromText(std::string_view name, std::string_view text);
// Name to value text, sorted by name; empty without a registry.
std::map<std::string, std::string> ListVariables();

// One use site's view of a variable, meant as a function-local static so that it connects
// once per process:
//   static Kor::VarBinding<int> vsync("glwindow_vsync", 0);
template <typename T>
class VarBinding {
    static_assert(std::is_same_v<T, int> || std::is_same_v<T, float>);

public:
    VarBinding(std::string_view name, T defaultValue)
        : mDefault(defaultValue), mPointer(BindVariable(name, &mDefault)) {}
    VarBinding(const VarBinding&) = delete;
    VarBinding& operator=(const VarBinding&) = delete;

    // Registry writes may happen on other threads; a relaxed atomic read is a plain load.
    T Value() const { return std::atomic_ref<T>(*mPointer).load(std::memory_order_relaxed); }
    T* Pointer() const { return mPointer; }

private:
    T mDefault;
    T* mPointer;
};

}  // namespace Kor
