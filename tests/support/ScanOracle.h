#pragma once
// Runs the same sequence of extractions through `std::istream >> double` and through
// Kor::serialize::DecimalScanner, recording what each left behind, so that tests and the fuzz
// target can compare the scanner with the standard library.

#include "serialize/DecimalScanner.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <istream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace OrvaneTest {

struct Extraction {
    std::uint64_t valueBits = 0;
    bool fail = false;
    bool eof = false;
    bool bad = false;
    bool operator==(const Extraction&) const = default;
};

struct ScanTrace {
    std::vector<Extraction> extractions;
    std::uint64_t position = 0;
    bool operator==(const ScanTrace&) const = default;
};

// Each extraction starts from this value (a NaN no extraction can produce), so that a value
// left alone is told apart from any value read.
inline constexpr std::uint64_t kUntouchedBits = 0x7ff4'dead'beef'0001;

inline double untouchedValue() {
    double value;
    std::memcpy(&value, &kUntouchedBits, sizeof value);
    return value;
}

inline std::uint64_t bitsOf(double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// Extracts until the state is no longer good, then once more to see the failure stick.
template <class Extract, class State>
ScanTrace traceExtractions(Extract extract, State state) {
    ScanTrace trace;
    for (bool more = true;;) {
        double value = untouchedValue();
        extract(value);
        Extraction e = state();
        e.valueBits = bitsOf(value);
        trace.extractions.push_back(e);
        if (!more) {
            break;
        }
        more = !e.fail && !e.eof && !e.bad;
    }
    return trace;
}

inline ScanTrace traceStream(std::istream& in) {
    ScanTrace trace = traceExtractions([&](double& v) { in >> v; },
                                       [&] {
                                           return Extraction{0, in.fail(), in.eof(), in.bad()};
                                       });
    in.clear();
    const std::streamoff position = in.tellg();
    trace.position = position < 0 ? UINT64_MAX : static_cast<std::uint64_t>(position);
    return trace;
}

inline ScanTrace traceScanner(Kor::serialize::DecimalScanner& scanner) {
    ScanTrace trace =
        traceExtractions([&](double& v) { scanner.extract(v); },
                         [&] {
                             return Extraction{0, scanner.fail(), scanner.eof(), scanner.bad()};
                         });
    trace.position = scanner.position();
    return trace;
}

inline ScanTrace streamTrace(std::string_view input) {
    std::istringstream in{std::string(input)};
    return traceStream(in);
}

inline ScanTrace scannerTrace(std::string_view input, std::size_t chunkSize) {
    std::istringstream in{std::string(input)};
    Kor::serialize::DecimalScanner scanner(*in.rdbuf(), chunkSize);
    return traceScanner(scanner);
}

inline std::string describe(const ScanTrace& trace) {
    std::string text;
    char line[128];
    for (const Extraction& e : trace.extractions) {
        double value;
        std::memcpy(&value, &e.valueBits, sizeof value);
        std::snprintf(line, sizeof line, "%s%s%s%s %.17g\n", e.fail ? "fail " : "",
                      e.eof ? "eof " : "", e.bad ? "bad " : "",
                      e.valueBits == kUntouchedBits ? "untouched" : "value",
                      e.valueBits == kUntouchedBits ? 0.0 : value);
        text += line;
    }
    text += "position " + std::to_string(trace.position) + "\n";
    return text;
}

}  // namespace OrvaneTest
