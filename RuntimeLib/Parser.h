#pragma once
// The command language of the console, the menu buttons and script files: the process-wide
// command registry, the tokenizer, execution of one line, environment expansion, scripts with
// blocks, and completion.

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace Kor {

// Receives its own copy of the line's tokens (token 0 is the command name).
using CommandHandler = void (*)(std::vector<std::string> tokens, void* context);

struct RegisteredCommand {
    CommandHandler handler;
    void* context;
};

// Ordered by name, byte-wise; one entry per name.
using CommandRegistry = std::map<std::string, RegisteredCommand, std::less<>>;

// The registry, created with the built-in commands on first use and never destroyed.
CommandRegistry& Commands();

// Replaces the handler and context of an existing name.
void RegisterCommand(std::string name, CommandHandler handler, void* context);
// Removes the name's entry while it still holds this context, so that an owner going away
// leaves no command that points at it, yet keeps what a later registration put there.
// Returns whether an entry was removed.
bool UnregisterCommand(std::string_view name, const void* context);

// True when there are exactly `wanted` tokens, command name included; else logs at Verbose.
bool CheckArgCount(const std::vector<std::string>& tokens, uint32_t wanted);

// Blanks and tabs separate tokens, "=" is a token of its own, double quotes group (no escapes),
// "#" and "//" outside quotes end the line.
std::vector<std::string> Tokenize(std::string_view line);

// A comment, an assignment "name = value", or a registered command. lineNumber is 1 and up in
// a script and 0 for a line typed or given directly.
void ExecuteTokens(const std::vector<std::string>& tokens, int32_t lineNumber);
void ExecuteLine(std::string_view line, int32_t lineNumber);

// Runs an opened text stream as a script; the name is used in messages only.
void ParseScript(std::istream& stream, std::string_view name);

// Replaces %NAME% by the environment variable's value, also where a value brings in "%".
// A value that keeps bringing them back is stopped after kMaxExpansions replacements or at
// kMaxExpandedLength characters, with a warning.
inline constexpr int kMaxExpansions = 1000;
inline constexpr size_t kMaxExpandedLength = 65536;
std::string ExpandEnvironment(std::string_view text);

// Command names and variables beginning with the prefix; a variable whose name is the whole
// prefix comes as "name=value". Sorted, without duplicates.
std::vector<std::string> Complete(std::string_view prefix);

}  // namespace Kor
