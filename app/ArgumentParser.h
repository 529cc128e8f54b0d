#pragma once
// Command-line parser: declarations, the walk over argv, validation, typed lookup, help text.
//
// Contents: AnyValue and the two error kinds; Argument (one declared argument and its
// builder calls); ArgumentParser (declare, parse, get, help).

#include <any>
#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace Kor {

// Holds nothing or one value of any copyable type; taking it out as another type fails.
using AnyValue = std::any;

// Raised by parseArgs and validation.
class ParseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Raised by get for an undeclared name or an argument with no value.
class LookupError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Raised by get when the stored value has another type than the one asked for.
class TypeMismatchError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// True for a word of at least two characters that starts with '-' and is not a number
// ("-5", "-0.25" and "-1e3" are numbers; "-1e50" overflows a float and so is an option).
bool isOptionName(std::string_view word);

struct Argument {
    using Action = std::function<AnyValue(const std::string&)>;

    explicit Argument(std::vector<std::string> argumentNames);

    Argument& help(std::string text);
    Argument& defaultValue(AnyValue value);
    Argument& implicitValue(AnyValue value);  // also makes the argument take no words
    Argument& nargs(int32_t count);           // -1: every remaining word

    std::vector<std::string> names;  // sorted by length, then bytes: "-h" before "--help"
    std::string usedName;            // the name last met on the command line
    std::string helpText;
    AnyValue defaultVal;
    AnyValue implicitVal;
    Action action;  // the default keeps the word as a std::string
    std::vector<AnyValue> values;
    int32_t valueCount = 1;
    bool isOptional = false;
    bool isRequired = false;
    bool isUsed = false;
};

class ArgumentParser {
public:
    // Also declares the built-in help argument -h/--help.
    explicit ArgumentParser(std::string programName = {});
    ArgumentParser(const ArgumentParser&) = delete;
    ArgumentParser& operator=(const ArgumentParser&) = delete;

    Argument& addArgument(std::string name);
    Argument& addArgument(std::string name, std::string otherName);

    // Parses and validates, throwing ParseError. -h/--help as a word of its own prints the
    // help text to standard output and ends the process with status 0.
    void parseArgs(int argc, const char* const* argv);
    // The same for the words of a command line, the program first.
    void parseArgs(const std::vector<std::string>& words);

    // T is a single value type (bool, std::string, ...) or std::vector<std::string>.
    template <typename T>
    T get(std::string_view name) const;

    // Width of the name column of the help text.
    size_t longestNameWidth() const;

    void writeHelp(std::ostream& out) const;

private:
    Argument& declare(std::vector<std::string> names);
    size_t consume(Argument& argument, const std::vector<std::string>& words, size_t position,
                   const std::string& usedName);
    void validate(const Argument& argument) const;
    const Argument& lookup(std::string_view name) const;
    void writeRow(std::ostream& out, const Argument& argument, size_t width) const;

    template <typename T>
    static T cast(const AnyValue& value);

    std::string mProgramName;
    std::list<Argument> mPositional;  // std::list: element addresses never change
    std::list<Argument> mOptional;    // the help argument is always first
    std::map<std::string, Argument*, std::less<>> mNameMap;
};

std::ostream& operator<<(std::ostream& out, const ArgumentParser& parser);

template <typename T>
T ArgumentParser::cast(const AnyValue& value) {
    if (const T* held = std::any_cast<T>(&value)) {
        return *held;
    }
    throw TypeMismatchError("Type mismatch");
}

template <typename T>
T ArgumentParser::get(std::string_view name) const {
    const Argument& argument = lookup(name);
    if (!argument.values.empty()) {
        if constexpr (std::is_same_v<T, std::vector<std::string>>) {
            T list;
            list.reserve(argument.values.size());
            for (const auto& value : argument.values) {
                list.push_back(cast<std::string>(value));
            }
            return list;
        } else {
            return cast<T>(argument.values.front());
        }
    }
    if (argument.defaultVal.has_value()) {
        return cast<T>(argument.defaultVal);
    }
    throw LookupError("No value provided");
}

}  // namespace Kor
