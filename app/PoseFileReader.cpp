#include "app/PoseFileReader.h"

#include <fstream>

#include "PlatformLib/RegularFile.h"
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
        *file, path, format == PoseFormat::Binary ? std::ios::in | std::ios::binary : std::ios::in);
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
    if (mFormat == PoseFormat::Binary) {
        mBinary = std::make_unique<serialize::IOStreamInputStream>(mFile.get());
    } else if (mFile->good()) {
        mScanner = std::make_unique<serialize::DecimalScanner>(*mFile->rdbuf());
    }
}

bool PoseFileReader::readNext(double& time, Mat3& R, Vec3& t) {
    if (mFormat == PoseFormat::Binary) {
        if (mBinary == nullptr) {
            return false;
        }
        serialize::readValue(*mBinary, time);
        serialize::readValue(*mBinary, R);
        return serialize::readValue(*mBinary, t);
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

std::uint64_t PoseFileReader::binaryRecordsAhead() {
    if (mBinary == nullptr) {
        return 0;
    }
    const std::uint64_t bytes = mBinary->remaining();
    return bytes == serialize::InputStream::kUnknownSize ? 0 : bytes / kBinaryRecordSize;
}

}  // namespace Kor
