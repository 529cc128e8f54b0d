// PoseFileReader over arbitrary bytes, in the format the first byte picks, against what the
// format says: text as `std::istream >> double` reads it 13 numbers at a time (each rotation
// then made orthonormal), binary as whole 104-byte records taken as stored. readTrajectory over
// the same bytes keeps every record as a pose and makes a state of each after the second.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/Orthonormal.h"
#include "app/PoseFileReader.h"
#include "app/ReadTrajectoryFile.h"

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

struct Record {
    double values[13];
};

bool sameBits(const Record& a, const Record& b) {
    return std::memcmp(a.values, b.values, sizeof a.values) == 0;
}

std::vector<Record> expectedRecords(const std::string& bytes, Kor::PoseFormat format) {
    std::vector<Record> records;
    if (format == Kor::PoseFormat::Binary) {
        for (std::size_t at = 0; at + 104 <= bytes.size(); at += 104) {
            Record r;
            std::memcpy(r.values, bytes.data() + at, 104);
            records.push_back(r);
        }
        return records;
    }
    std::istringstream in(bytes);
    for (;;) {
        double time;
        Kor::Mat3 R;
        Kor::Vec3 t;
        in >> time;
        for (int row = 0; row < 3; ++row) {
            in >> R[3 * row] >> R[3 * row + 1] >> R[3 * row + 2] >> t[row];
        }
        if (in.fail()) {
            return records;
        }
        Kor::orthonormalise(R);
        Record r;
        r.values[0] = time;
        std::memcpy(r.values + 1, R.data(), 72);
        std::memcpy(r.values + 10, t.data(), 24);
        records.push_back(r);
    }
}

std::unique_ptr<std::istream> streamOf(const std::string& bytes) {
    return std::make_unique<std::istringstream>(bytes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const auto format = data[0] % 2 == 0 ? Kor::PoseFormat::Text : Kor::PoseFormat::Binary;
    const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::vector<Record> expected = expectedRecords(bytes, format);

    Kor::PoseFileReader reader;
    reader.attach(streamOf(bytes), format);
    std::size_t count = 0;
    Record r;
    Kor::Mat3 R;
    Kor::Vec3 t;
    while (reader.readNext(r.values[0], R, t)) {
        std::memcpy(r.values + 1, R.data(), 72);
        std::memcpy(r.values + 10, t.data(), 24);
        check(count < expected.size() && sameBits(r, expected[count]));
        ++count;
    }
    check(count == expected.size());
    check(!reader.readNext(r.values[0], R, t));

    Kor::PoseFileReader again;
    again.attach(streamOf(bytes), format);
    const Kor::Trajectory trajectory = Kor::readTrajectory(again);
    check(trajectory.poses.size() == count);
    check(trajectory.states.size() == (count > 2 ? count - 2 : 0));
    for (std::size_t k = 0; k < trajectory.states.size(); ++k) {
        check(std::memcmp(&trajectory.states[k].time, &expected[k + 2].values[0], 8) == 0);
    }
    return 0;
}
