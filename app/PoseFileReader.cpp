#include "app/PoseFileReader.h"

#include <algorithm>
#include <array>
#include <fstream>

#include "PlatformLib/RegularFile.h"
#include "PlatformLib/Utf8Path.h"
#include "analysis/Orthonormal.h"
#include "serialize/ReadValue.h"

namespace Kor {

PoseFormat poseFormatOf(const std::string& path) {
    if (path.size() < 4) {
        return PoseFormat::Text;
    }
    std::string last = path.substr(path.size() - 4);
    for (char& c : last) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return last == ".bin" || last == ".dat" ? PoseFormat::Binary : PoseFormat::Text;
}

bool PoseFileReader::open(const std::string& path) {
    const PoseFormat format = poseFormatOf(path);
    auto file = std::make_unique<std::ifstream>();
    const bool opened = openRegularFile(
        *file, PathFromUtf8(path),
        format == PoseFormat::Binary ? std::ios::in | std::ios::binary : std::ios::in);
    if (!opened) {
        file->setstate(std::ios::failbit);
    }
    attach(std::move(file), format);
    return opened;
}

void PoseFileReader::attach(std::unique_ptr<std::istream> source, PoseFormat format) {
    // The readers refer to the stream: they go first.
    mScanner.reset();
    mBinary.reset();
    mFile = std::move(source);
    mFormat = format;
    mTextBytes = 0;
    if (mFormat == PoseFormat::Binary) {
        mBinary = std::make_unique<serialize::IOStreamInputStream>(mFile.get());
    } else if (mFile->good()) {
        mTextBytes = serialize::IOStreamInputStream(mFile.get()).remaining();
        mScanner = std::make_unique<serialize::DecimalScanner>(*mFile->rdbuf());
    }
}

bool PoseFileReader::readNext(double& time, Mat3& R, Vec3& t) {
    if (mFormat == PoseFormat::Binary) {
        // One read of the whole record: a partial record fails it as it would fail the
        // reads of its parts.
        std::array<double, 13> record;
        if (mBinary == nullptr || !serialize::readValue(*mBinary, record)) {
            return false;
        }
        time = record[0];
        std::copy(record.begin() + 1, record.begin() + 10, R.begin());
        std::copy(record.begin() + 10, record.end(), t.begin());
        return true;
    }
    if (mScanner == nullptr) {
        return false;
    }
    // Extractions after a failure fail too, so one test after all 13 is enough.
    serialize::DecimalScanner& scan = *mScanner;
    scan.extract(time);
    for (int row = 0; row < 3; ++row) {
        scan.extract(R[3 * row]);
        scan.extract(R[3 * row + 1]);
        scan.extract(R[3 * row + 2]);
        scan.extract(t[row]);
    }
    if (scan.fail()) {
        return false;
    }
    orthonormalise(R);
    return true;
}

std::optional<std::uint64_t> PoseFileReader::recordsAhead(std::uint64_t recordsRead) {
    constexpr std::uint64_t kUnknown = serialize::InputStream::kUnknownSize;
    if (mBinary != nullptr) {
        const std::uint64_t bytes = mBinary->remaining();
        return bytes == kUnknown ? std::nullopt : std::optional(bytes / kBinaryRecordSize);
    }
    if (mScanner == nullptr || mTextBytes == kUnknown || recordsRead == 0) {
        return std::nullopt;
    }
    const std::uint64_t read = mScanner->position();
    const std::uint64_t left = mTextBytes > read ? mTextBytes - read : 0;
    const long double atMeanLength = static_cast<long double>(left) *
                                     static_cast<long double>(recordsRead) /
                                     static_cast<long double>(std::max<std::uint64_t>(read, 1));
    const auto atMost = static_cast<long double>(left / kShortestTextRecord);
    return static_cast<std::uint64_t>(std::min(atMeanLength, atMost));
}

}  // namespace Kor
