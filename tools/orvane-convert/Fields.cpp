#include "tools/orvane-convert/Fields.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <system_error>

namespace OrvaneConvert {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

std::size_t splitWords(std::string_view line, std::span<std::string_view> fields) {
    std::size_t count = 0;
    std::size_t at = 0;
    while (true) {
        while (at < line.size() && isBlank(line[at])) {
            ++at;
        }
        if (at == line.size()) {
            return count;
        }
        const std::size_t start = at;
        while (at < line.size() && !isBlank(line[at])) {
            ++at;
        }
        if (count < fields.size()) {
            fields[count] = line.substr(start, at - start);
        }
        ++count;
    }
}

std::size_t splitCommas(std::string_view line, std::span<std::string_view> fields) {
    std::size_t count = 0;
    while (true) {
        const std::size_t comma = line.find(',');
        if (count < fields.size()) {
            fields[count] = trimmed(line.substr(0, comma));
        }
        ++count;
        if (comma == std::string_view::npos) {
            return count;
        }
        line.remove_prefix(comma + 1);
    }
}

bool parseNumber(std::string_view text, double& value) {
    // from_chars takes no '+', which strtod does.
    if (text.size() > 1 && text[0] == '+' && text[1] != '-' && text[1] != '+') {
        text.remove_prefix(1);
    }
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (stop != end || text.empty()) {
        return false;
    }
    if (error == std::errc::result_out_of_range) {
        // from_chars leaves the value alone on overflow and underflow; strtod gives the
        // infinity or the rounded tiny value.
        value = std::strtod(std::string(text).c_str(), nullptr);
        return true;
    }
    return error == std::errc();
}

std::string quotedField(std::string_view text) {
    constexpr std::size_t kLongest = 32;
    std::string out = "'";
    for (std::size_t k = 0; k < text.size() && k < kLongest; ++k) {
        const auto byte = static_cast<unsigned char>(text[k]);
        if (byte >= 0x20 && byte < 0x7f) {
            out += static_cast<char>(byte);
        } else {
            constexpr char kHex[] = "0123456789abcdef";
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        }
    }
    if (text.size() > kLongest) {
        out += "...";
    }
    out += '\'';
    return out;
}

bool parseFiniteNumbers(std::span<const std::string_view> fields,
                        std::span<const char* const> names, double* values, std::string& reason) {
    for (std::size_t k = 0; k < fields.size(); ++k) {
        if (!parseNumber(fields[k], values[k])) {
            reason = std::string(names[k]) + " " + quotedField(fields[k]) + " is not a number";
            return false;
        }
        if (!std::isfinite(values[k])) {
            reason =
                std::string(names[k]) + " " + quotedField(fields[k]) + " is not a finite number";
            return false;
        }
    }
    return true;
}

}  // namespace OrvaneConvert
