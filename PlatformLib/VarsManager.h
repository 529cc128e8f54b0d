#pragma once
// The registry interface as the settings access functions call it.

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "PlatformLib/Vars.h"

namespace Kor {

using VarSnapshot = std::map<std::string, std::string>;

// Callers lock Mutex() around GetOrAdd, Get, Set and Snapshot (BindInt expects it held);
// SetFromText is called without it, so an implementation guards that one itself.
// Storage handed out must keep its address for the life of the process: bindings keep it.
class VarsManager {
public:
    virtual ~VarsManager();

    virtual std::optional<ValueRef> Get(std::string_view name) = 0;
    // Creates the variable as a copy of the default, with the default's type, when missing.
    virtual ValueRef GetOrAdd(std::string_view name, const ValueRef& defaultValue) = 0;
    // The variable holds a copy of the value with the value's type from now on.
    virtual void Set(std::string_view name, const ValueRef& value) = 0;
    // The value text of an assignment line.
    virtual void SetFromText(std::string_view name, std::string_view text) = 0;
    // Every variable's value as text, sorted by name.
    virtual std::shared_ptr<const VarSnapshot> Snapshot() = 0;

    std::mutex& Mutex() { return mMutex; }

protected:
    std::mutex mMutex;
};

}  // namespace Kor
