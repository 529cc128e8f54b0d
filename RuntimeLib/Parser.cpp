#include "RuntimeLib/Parser.h"

#include <algorithm>
#include <cstdlib>
#include <istream>
#include <limits>
#include <set>

#include "PlatformLib/VarText.h"
#include "PlatformLib/Vars.h"
#include "RuntimeLib/BuiltinCommands.h"
#include "RuntimeLib/Logging.h"

namespace Kor {

CommandRegistry& Commands() {
    // Built in on first use, so the built-ins are there whichever static initialiser asks
    // first, and never destroyed, so commands still resolve while the process exits.
    static CommandRegistry* const registry = [] {
        auto* created = new CommandRegistry();
        RegisterBuiltinCommands(*created);
        return created;
    }();
    return *registry;
}

namespace {

// The built-ins are registered during static initialisation. This file is linked into every
// program that runs commands, so the registration cannot be dropped with an unused object.
[[maybe_unused]] const bool kBuiltinsRegistered = (Commands(), true);

// The first white-space-delimited word of a script line.
std::string_view firstWord(std::string_view line) {
    size_t begin = 0;
    while (begin < line.size() && IsClassicSpace(line[begin])) {
        ++begin;
    }
    size_t end = begin;
    while (end < line.size() && !IsClassicSpace(line[end])) {
        ++end;
    }
    return line.substr(begin, end - begin);
}

// A precision for "%.*s": messages are cut in the thread buffer anyway.
int shown(size_t length) {
    return static_cast<int>(std::min<size_t>(length, 4096));
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// getenv reads up to a NUL, so a name holding one would look up another variable.
const char* environmentValue(std::string_view name) {
    if (name.empty() || name.find('\0') != std::string_view::npos) {
        return nullptr;
    }
    return std::getenv(std::string(name).c_str());
}

}  // namespace

void RegisterCommand(std::string name, CommandHandler handler, void* context) {
    Commands().insert_or_assign(std::move(name), RegisteredCommand{handler, context});
}

bool UnregisterCommand(std::string_view name, const void* context) {
    CommandRegistry& registry = Commands();
    auto found = registry.find(name);
    if (found == registry.end() || found->second.context != context) {
        return false;
    }
    registry.erase(found);
    return true;
}

bool CheckArgCount(const std::vector<std::string>& tokens, uint32_t wanted) {
    if (tokens.size() == wanted) {
        return true;
    }
    QEL_LOG_VERBOSE("[Default] ! Error: cmd %s wanted %u args. ",
                    tokens.empty() ? "" : tokens[0].c_str(), wanted - 1);
    return false;
}

std::vector<std::string> Tokenize(std::string_view line) {
    std::vector<std::string> tokens;
    std::string current;
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"') {
                // A closing quote ends the token even when it is empty.
                quoted = false;
                tokens.push_back(std::move(current));
                current.clear();
            } else {
                current += c;
            }
            continue;
        }
        if (c == '"') {
            quoted = true;
        } else if (c == '#' || (c == '/' && i + 1 < line.size() && line[i + 1] == '/')) {
            break;
        } else if (c == ' ' || c == '\t') {
            if (!current.empty()) {
                tokens.push_back(std::move(current));
                current.clear();
            }
        } else if (c == '=') {
            if (!current.empty()) {
                tokens.push_back(std::move(current));
                current.clear();
            }
            tokens.emplace_back("=");
        } else {
            current += c;
        }
    }
    if (!current.empty()) {
        tokens.push_back(std::move(current));
    }
    return tokens;
}

void ExecuteTokens(const std::vector<std::string>& tokens, int32_t lineNumber) {
    if (tokens.empty()) {
        return;
    }
    const std::string& name = tokens[0];
    if ((name.size() >= 2 && startsWith(name, "//")) || (!name.empty() && name[0] == '#')) {
        return;
    }
    if (tokens.size() >= 3 && tokens[1] == "=") {
        SetVarFromText(name, ExpandEnvironment(tokens[2]));
        return;
    }
    CommandRegistry& registry = Commands();
    auto found = registry.find(name);
    if (found == registry.end()) {
        if (lineNumber < 1) {
            QEL_LOG_VERBOSE("[Default] ! Unknown command: '%s'", name.c_str());
        } else {
            QEL_LOG_VERBOSE("[Default] ! Line %d: Unknown command: '%s'", lineNumber, name.c_str());
        }
        return;
    }
    // Copied first: the handler may register commands, replacing its own entry.
    const RegisteredCommand command = found->second;
    if (command.handler != nullptr) {
        command.handler(tokens, command.context);
    }
}

void ExecuteLine(std::string_view line, int32_t lineNumber) {
    ExecuteTokens(Tokenize(line), lineNumber);
}

std::string ExpandEnvironment(std::string_view text) {
    std::string result(text);
    // Text before the first "%" holds none, so each search may start where the last
    // replacement began: the same result as starting again from the beginning.
    size_t from = 0;
    int replacements = 0;
    for (;;) {
        const size_t open = result.find('%', from);
        if (open == std::string::npos) {
            break;
        }
        const size_t close = result.find('%', open + 1);
        if (close == std::string::npos) {
            break;
        }
        if (replacements >= kMaxExpansions) {
            QEL_LOG_WARNING("[Default] ! Expansion of \"%.*s\" stopped after %d replacements",
                            shown(text.size()), text.data(), replacements);
            break;
        }
        const std::string_view name = std::string_view(result).substr(open + 1, close - open - 1);
        const char* value = environmentValue(name);
        if (value == nullptr) {
            QEL_LOG_WARNING("[Default] no value for environment variable \"%.*s\"",
                            shown(name.size()), name.data());
            value = "";
        }
        const size_t valueLength = std::char_traits<char>::length(value);
        if (result.size() - (close - open + 1) + valueLength > kMaxExpandedLength) {
            QEL_LOG_WARNING("[Default] ! Expansion of \"%.*s\" stopped at %zu characters",
                            shown(text.size()), text.data(), result.size());
            break;
        }
        result.replace(open, close - open + 1, value, valueLength);
        ++replacements;
        from = open;
    }
    return result;
}

void ParseScript(std::istream& stream, std::string_view name) {
    const int nameLength = shown(name.size());
    QEL_LOG_VERBOSE("[Default] parsing file: '%.*s'", nameLength, name.data());
    if (!stream.good()) {
        QEL_LOG_VERBOSE("[Default] Could not open %.*s", nameLength, name.data());
        return;
    }
    // 0 for a block, 1 for a comment block; the comment depth is the sum.
    std::vector<int32_t> blocks;
    int32_t commentDepth = 0;
    int32_t lineNumber = 0;
    std::string line;
    while (std::getline(stream, line)) {
        if (lineNumber < std::numeric_limits<int32_t>::max()) {
            ++lineNumber;
        }
        // Files written with CRLF line ends read the same as with LF.
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const std::string_view word = firstWord(line);
        if (word.empty()) {
            continue;
        }
        if (word == "begin_block") {
            blocks.push_back(0);
        } else if (word == "begin_block_comment") {
            blocks.push_back(1);
            ++commentDepth;
        } else if (word == "end_block") {
            if (blocks.empty()) {
                QEL_LOG_VERBOSE("[Default] ! end_block without begin_block: line %d of '%.*s'",
                                lineNumber, nameLength, name.data());
            } else {
                commentDepth -= blocks.back();
                blocks.pop_back();
            }
        } else if (commentDepth == 0) {
            ExecuteLine(line, lineNumber);
        }
    }
    if (!blocks.empty()) {
        QEL_LOG_VERBOSE("[Default] ! At end of '%.*s', unterminated block", nameLength,
                        name.data());
    }
}

std::vector<std::string> Complete(std::string_view prefix) {
    std::set<std::string> candidates;
    const CommandRegistry& registry = Commands();
    for (auto it = registry.lower_bound(prefix);
         it != registry.end() && startsWith(it->first, prefix); ++it) {
        candidates.insert(it->first);
    }
    for (const auto& [name, value] : ListVariables()) {
        if (!startsWith(name, prefix)) {
            continue;
        }
        candidates.insert(name.size() == prefix.size() ? name + "=" + value : name);
    }
    return {candidates.begin(), candidates.end()};
}

}  // namespace Kor
