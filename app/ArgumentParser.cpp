#include "app/ArgumentParser.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <iomanip>
#include <iostream>
#include <sstream>

namespace Kor {
namespace {

// Base-10 integer conversion that must consume the whole word.
bool isWholeInteger(std::string_view word) {
    int value = 0;
    auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    return error == std::errc() && end == word.data() + word.size();
}

// A single-precision float read by the stream, without skipping white space, that ends at
// the end of the word; an out-of-range value makes the stream fail.
bool isWholeFloat(std::string_view word) {
    std::istringstream in{std::string(word)};
    in.imbue(std::locale::classic());
    float value = 0;
    in >> std::noskipws >> value;
    return !in.fail() && in.eof();
}

std::vector<std::string> sortedNames(std::vector<std::string> names) {
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        if (a.size() != b.size()) {
            return a.size() < b.size();
        }
        return a < b;
    });
    return names;
}

AnyValue keepWord(const std::string& word) {
    return word;
}

}  // namespace

bool isOptionName(std::string_view word) {
    if (word.size() < 2 || word.front() != '-') {
        return false;
    }
    return !isWholeInteger(word) && !isWholeFloat(word);
}

Argument::Argument(std::vector<std::string> argumentNames)
    : names(sortedNames(std::move(argumentNames))), action(keepWord) {
    isOptional = std::any_of(names.begin(), names.end(),
                             [](const std::string& name) { return isOptionName(name); });
}

Argument& Argument::help(std::string text) {
    helpText = std::move(text);
    return *this;
}

Argument& Argument::defaultValue(AnyValue value) {
    defaultVal = std::move(value);
    return *this;
}

Argument& Argument::implicitValue(AnyValue value) {
    implicitVal = std::move(value);
    valueCount = 0;
    return *this;
}

Argument& Argument::nargs(int32_t count) {
    valueCount = count;
    return *this;
}

ArgumentParser::ArgumentParser(std::string programName) : mProgramName(std::move(programName)) {
    addArgument("-h", "--help").help("show this help message and exit").nargs(0);
}

Argument& ArgumentParser::addArgument(std::string name) {
    return declare({std::move(name)});
}

Argument& ArgumentParser::addArgument(std::string name, std::string otherName) {
    return declare({std::move(name), std::move(otherName)});
}

Argument& ArgumentParser::declare(std::vector<std::string> names) {
    mOptional.emplace_back(std::move(names));
    auto last = std::prev(mOptional.end());
    if (!last->isOptional) {
        mPositional.splice(mPositional.end(), mOptional, last);
    }
    for (const auto& name : last->names) {
        mNameMap.insert_or_assign(name, &*last);
    }
    return *last;
}

void ArgumentParser::parseArgs(int argc, const char* const* argv) {
    std::vector<std::string> words;
    words.reserve(argc > 0 ? static_cast<size_t>(argc) : 0);
    for (int i = 0; i < argc; ++i) {
        words.emplace_back(argv[i]);
    }
    parseArgs(words);
}

void ArgumentParser::parseArgs(const std::vector<std::string>& words) {
    if (mProgramName.empty() && !words.empty()) {
        mProgramName = words.front();
    }

    auto cursor = mPositional.begin();
    size_t position = 1;
    while (position < words.size()) {
        const std::string& word = words[position];
        if (!isOptionName(word)) {
            if (cursor == mPositional.end()) {
                throw ParseError("Maximum number of positional arguments exceeded");
            }
            position = consume(*cursor, words, position, std::string());
            ++cursor;
            continue;
        }
        if (auto found = mNameMap.find(word); found != mNameMap.end()) {
            if (found->second == &mOptional.front()) {
                std::cout << *this;
                std::cout.flush();
                std::exit(0);
            }
            position = consume(*found->second, words, position + 1, word);
            continue;
        }
        if (word.size() > 1 && word[0] == '-' && word[1] != '-') {
            // A group of short options such as -ab: each letter in turn, each taking its
            // words from where the previous one stopped.
            std::string letters = word.substr(1);
            ++position;
            for (char letter : letters) {
                std::string shortName{'-', letter};
                auto match = mNameMap.find(shortName);
                if (match == mNameMap.end()) {
                    throw ParseError("Unknown argument");
                }
                position = consume(*match->second, words, position, shortName);
            }
            continue;
        }
        throw ParseError("Unknown argument");
    }

    for (const auto& [name, argument] : mNameMap) {
        validate(*argument);
    }
}

size_t ArgumentParser::consume(Argument& argument, const std::vector<std::string>& words,
                               size_t position, const std::string& usedName) {
    if (argument.isUsed) {
        throw ParseError("Duplicate argument");
    }
    argument.isUsed = true;
    argument.usedName = usedName;

    if (argument.valueCount == 0) {
        argument.values.push_back(argument.implicitVal);
        return position;
    }
    const auto left = static_cast<int64_t>(words.size()) - static_cast<int64_t>(position);
    if (argument.valueCount > left) {
        if (argument.defaultVal.has_value()) {
            return position;
        }
        throw ParseError("Too few arguments");
    }
    const size_t end = argument.valueCount < 0
                           ? words.size()
                           : position + static_cast<size_t>(argument.valueCount);
    if (argument.valueCount >= 0) {
        for (size_t i = position; i < end; ++i) {
            if (isOptionName(words[i])) {
                throw ParseError("optional argument in parameter sequence");
            }
        }
    }
    argument.values.reserve(argument.values.size() + (end - position));
    for (size_t i = position; i < end; ++i) {
        argument.values.push_back(argument.action(words[i]));
    }
    return end;
}

void ArgumentParser::validate(const Argument& argument) const {
    if (argument.valueCount < 0) {
        return;
    }
    const bool countDiffers = argument.values.size() != static_cast<size_t>(argument.valueCount);
    const bool hasDefault = argument.defaultVal.has_value();
    auto expected = [&] {
        return ParseError(argument.usedName + ": expected " + std::to_string(argument.valueCount) +
                          " argument(s). " + std::to_string(argument.values.size()) + " provided.");
    };
    if (!argument.isOptional) {
        if (countDiffers && !hasDefault) {
            throw expected();
        }
    } else if (argument.isUsed) {
        if (countDiffers && !hasDefault) {
            throw expected();
        }
        if (argument.isRequired && argument.values.empty()) {
            throw ParseError(argument.usedName + ": no value provided.");
        }
    } else if (!hasDefault && argument.isRequired) {
        throw ParseError(argument.names.front() + ": required.");
    }
}

const Argument& ArgumentParser::lookup(std::string_view name) const {
    auto found = mNameMap.find(name);
    if (found == mNameMap.end()) {
        throw LookupError("No such argument");
    }
    return *found->second;
}

size_t ArgumentParser::longestNameWidth() const {
    size_t widest = 0;
    for (const auto& [name, argument] : mNameMap) {
        size_t width = 0;
        for (const auto& each : argument->names) {
            width += each.size() + 1;
        }
        widest = std::max(widest, width);
    }
    return widest;
}

void ArgumentParser::writeRow(std::ostream& out, const Argument& argument, size_t width) const {
    std::string piece;
    for (const auto& name : argument.names) {
        piece += name;
        piece += ' ';
    }
    out << std::setw(static_cast<int>(width)) << piece << '\t' << argument.helpText;
    if (argument.isRequired) {
        out << "[Required]";
    }
    out << '\n';
}

void ArgumentParser::writeHelp(std::ostream& out) const {
    out << std::left;
    out << "Usage: " << mProgramName << " [options] ";
    for (const auto& argument : mPositional) {
        out << argument.names.front() << ' ';
    }
    out << "\n\n";
    const size_t width = longestNameWidth();
    if (!mPositional.empty()) {
        out << "Positional arguments:\n";
        for (const auto& argument : mPositional) {
            writeRow(out, argument, width);
        }
    }
    if (!mOptional.empty()) {
        if (!mPositional.empty()) {
            out << '\n';
        }
        out << "Optional arguments:\n";
        for (const auto& argument : mOptional) {
            writeRow(out, argument, width);
        }
    }
}

std::ostream& operator<<(std::ostream& out, const ArgumentParser& parser) {
    parser.writeHelp(out);
    return out;
}

}  // namespace Kor
