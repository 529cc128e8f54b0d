#include "RuntimeLib/BuiltinCommands.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

#include "PlatformLib/Vars.h"
#include "PlatformLib/VarsManager.h"
#include "RuntimeLib/Logging.h"

namespace Kor {
namespace {

bool isScanBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

size_t skipBlanks(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && isScanBlank(text[i])) {
        ++i;
    }
    return i;
}

void writeOut(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
}

void echoCommand(std::vector<std::string> tokens, void*) {
    std::string joined;
    for (size_t i = 1; i < tokens.size(); ++i) {
        if (i > 1) {
            joined += ' ';
        }
        joined += tokens[i];
    }
    QEL_LOG_VERBOSE("[Default] %s", joined.c_str());
}

void exitCommand(std::vector<std::string>, void*) {
    std::exit(0);
}

void setintCommand(std::vector<std::string> tokens, void*) {
    if (!CheckArgCount(tokens, 3)) {
        return;
    }
    const std::string value = ExpandEnvironment(tokens[2]);
    int number = 0;
    const NumberScan scan = ScanInt(value, number);
    if (scan.result == 0 || scan.consumed != value.size()) {
        QEL_LOG_ERROR("[Default] could not parse int: %s", value.c_str());
    }
    SetVar(tokens[1], ValueRef{&number, VarType::Int});
}

void setfloatCommand(std::vector<std::string> tokens, void*) {
    if (!CheckArgCount(tokens, 3)) {
        return;
    }
    const std::string value = ExpandEnvironment(tokens[2]);
    float number = 0.0f;
    const NumberScan scan = ScanFloat(value, number);
    if (scan.result == 0 || scan.consumed != value.size()) {
        QEL_LOG_ERROR("[Default] could not parse float: %s", value.c_str());
    }
    SetVar(tokens[1], ValueRef{&number, VarType::Float});
}

void setstringCommand(std::vector<std::string> tokens, void*) {
    if (!CheckArgCount(tokens, 3)) {
        return;
    }
    std::string value = ExpandEnvironment(tokens[2]);
    SetVar(tokens[1], ValueRef{&value, VarType::String});
}

void toggleCommand(std::vector<std::string> tokens, void*) {
    if (!CheckArgCount(tokens, 2)) {
        return;
    }
    int current = 0;
    if (VarsManager* registry = Qel::RuntimeContext::VarsManager) {
        std::lock_guard lock(registry->Mutex());
        int fallback = 0;
        current = *BindInt(*registry, tokens[1], &fallback);
    }
    int toggled = current == 0 ? 1 : 0;
    SetVar(tokens[1], ValueRef{&toggled, VarType::Int});
}

void varlistCommand(std::vector<std::string>, void*) {
    for (const auto& [name, value] : ListVariables()) {
        writeOut(name);
        writeOut(" = ");
        writeOut(value);
        writeOut("\n");
        std::fflush(stdout);
    }
    std::fflush(stdout);
}

void commandlistCommand(std::vector<std::string>, void*) {
    writeOut("Registered commands: \n");
    std::fflush(stdout);
    for (const auto& entry : Commands()) {
        writeOut("  ");
        writeOut(entry.first);
        writeOut("\n");
        std::fflush(stdout);
    }
    writeOut("end of list \n");
    std::fflush(stdout);
}

void remCommand(std::vector<std::string>, void*) {}

}  // namespace

NumberScan ScanInt(std::string_view text, int& value) {
    size_t i = skipBlanks(text);
    if (i == text.size()) {
        return {-1, 0};
    }
    bool negative = false;
    if (text[i] == '+' || text[i] == '-') {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size() || text[i] < '0' || text[i] > '9') {
        return {0, 0};
    }
    // Accumulated negatively so that the most negative int fits.
    long long accumulated = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        accumulated = accumulated * 10 - (text[i] - '0');
        if (accumulated < -2147483648LL) {
            return {0, 0};
        }
    }
    if (!negative && accumulated == -2147483648LL) {
        return {0, 0};
    }
    value = static_cast<int>(negative ? accumulated : -accumulated);
    return {1, i};
}

NumberScan ScanFloat(std::string_view text, float& value) {
    const size_t start = skipBlanks(text);
    if (start == text.size()) {
        return {-1, 0};
    }
    // strtof knows the same forms as "%f" (decimal, hexadecimal, inf, nan); it needs a NUL.
    const std::string rest(text.substr(start));
    char* end = nullptr;
    errno = 0;
    const float read = std::strtof(rest.c_str(), &end);
    if (end == rest.c_str() || (errno == ERANGE && std::isinf(read))) {
        return {0, 0};
    }
    value = read;
    return {1, start + static_cast<size_t>(end - rest.c_str())};
}

void RegisterBuiltinCommands(CommandRegistry& registry) {
    registry.insert_or_assign("commandlist", RegisteredCommand{commandlistCommand, nullptr});
    registry.insert_or_assign("echo", RegisteredCommand{echoCommand, nullptr});
    registry.insert_or_assign("exit", RegisteredCommand{exitCommand, nullptr});
    registry.insert_or_assign("rem", RegisteredCommand{remCommand, nullptr});
    registry.insert_or_assign("setfloat", RegisteredCommand{setfloatCommand, nullptr});
    registry.insert_or_assign("setint", RegisteredCommand{setintCommand, nullptr});
    registry.insert_or_assign("setstring", RegisteredCommand{setstringCommand, nullptr});
    registry.insert_or_assign("toggle", RegisteredCommand{toggleCommand, nullptr});
    registry.insert_or_assign("varlist", RegisteredCommand{varlistCommand, nullptr});
}

}  // namespace Kor
