#include "app/PoseFileReader.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/Orthonormal.h"
#include "tests/support/Platform.h"
#include "tests/support/TempDir.h"
#include "tests/support/TrajectoryFiles.h"

namespace {

using Kor::Mat3;
using Kor::PoseFileReader;
using Kor::PoseFormat;
using Kor::Vec3;
using OrvaneTest::PoseRecord;

std::vector<PoseRecord> readAll(PoseFileReader& reader) {
    std::vector<PoseRecord> records;
    PoseRecord r;
    Mat3 R;
    Vec3 t;
    while (reader.readNext(r.time, R, t)) {
        r.R = R;
        r.t = t;
        records.push_back(r);
    }
    Mat3 ignored;
    EXPECT_FALSE(reader.readNext(r.time, ignored, t)) << "the end must stay the end";
    return records;
}

// What `stream >> double` makes of the text, 13 numbers at a time, each R then made orthonormal.
std::vector<PoseRecord> streamOracle(const std::string& text) {
    std::istringstream in(text);
    std::vector<PoseRecord> records;
    for (;;) {
        PoseRecord r;
        in >> r.time;
        for (int row = 0; row < 3; ++row) {
            in >> r.R[3 * row] >> r.R[3 * row + 1] >> r.R[3 * row + 2] >> r.t[row];
        }
        if (in.fail()) {
            return records;
        }
        Kor::orthonormalise(r.R);
        records.push_back(r);
    }
}

void expectSameRecords(const std::vector<PoseRecord>& actual,
                       const std::vector<PoseRecord>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        EXPECT_EQ(actual[i].time, expected[i].time) << i;
        EXPECT_EQ(actual[i].R, expected[i].R) << i;
        EXPECT_EQ(actual[i].t, expected[i].t) << i;
    }
}

TEST(PoseFileReader, FormatComesFromTheLastFourCharactersInAnyCase) {
    for (const char* binary : {"a.bin", "A.BIN", "x.Dat", "walk.DAT", ".bin", "dir.txt/p.bIn"}) {
        EXPECT_EQ(Kor::poseFormatOf(binary), PoseFormat::Binary) << binary;
    }
    for (const char* text :
         {"a.txt", "a.bin2", "bin", "a.bi", "noext", "", "p.bin/x", "a.b\xc4\xb0N"}) {
        EXPECT_EQ(Kor::poseFormatOf(text), PoseFormat::Text) << text;
    }
}

// Records with white space of every kind, exponents, a rotation that is not orthonormal, a last
// number glued to a word that stops reading: cut at every length, the reader
// gives what the standard stream gives.
TEST(PoseFileReader, TextCutAnywhereReadsWhatStreamExtractionReads) {
    const std::string text =
        "0 1 0 0 1.5\t0 1 0 -2e0\n0 0 1 3\n"
        "  0.125\r\n2 0 0 4e-3 0 2 0 5 0 0 2 6.25\n"
        "+.25 0.36 0.48 -0.8 1 -0.8 0.6 0 2 0.48 0.64 0.6 3 "
        "0.5 1 0 0 1 0 1 0 2 0 0 1 3x 9";
    ASSERT_EQ(streamOracle(text).size(), 4u);  // "3x" reads as 3; the "x" then stops reading
    OrvaneTest::TempDir dir;
    for (std::size_t length = 0; length <= text.size(); ++length) {
        const std::string cut = text.substr(0, length);
        PoseFileReader reader;
        ASSERT_TRUE(reader.open(dir.write("poses.txt", cut)));
        EXPECT_EQ(reader.format(), PoseFormat::Text);
        SCOPED_TRACE(cut);
        expectSameRecords(readAll(reader), streamOracle(cut));
    }
}

TEST(PoseFileReader, BinaryCutAnywhereKeepsTheWholeRecordsAsStored) {
    std::vector<PoseRecord> records(3);
    for (int i = 0; i < 3; ++i) {
        records[i].time = 0.5 * i;
        records[i].R = {2, 0.5, 0, 0, 2, 0, 0, 0, -3};  // used as stored, not repaired
        records[i].t = {1.0 + i, -0.0, 1e-300};
    }
    const std::string bytes = OrvaneTest::binaryPoseFile(records);
    OrvaneTest::TempDir dir;
    for (std::size_t length = 0; length <= bytes.size(); ++length) {
        PoseFileReader reader;
        ASSERT_TRUE(reader.open(dir.write("poses.bin", bytes.substr(0, length))));
        EXPECT_EQ(reader.format(), PoseFormat::Binary);
        const std::vector<PoseRecord> expected(records.begin(), records.begin() + length / 104);
        expectSameRecords(readAll(reader), expected);
    }
}

// A directory, a FIFO without a writer, devices and missing or unreadable files cannot be
// opened, and none of them may block.
TEST(PoseFileReader, OnlyRegularFilesOpen) {
    OrvaneTest::TempDir dir;
    std::vector<std::string> paths;
    for (const std::filesystem::path& path : OrvaneTest::notRegularFiles(dir.path())) {
        paths.push_back(path.string());
    }
#ifndef _WIN32
    // POSIX permissions and /proc.
    if (::geteuid() != 0) {  // root reads whatever the permissions say
        const std::string locked = dir.write("locked.txt", "0 1 0 0 0 0 1 0 0 0 0 1 0");
        ::chmod(locked.c_str(), 0);
        paths.push_back(locked);
    }
#endif
    for (const std::string& path : paths) {
        PoseFileReader reader;
        EXPECT_FALSE(reader.open(path)) << path;
        EXPECT_TRUE(readAll(reader).empty()) << path;
    }
#ifndef _WIN32
    // A regular file whose every read fails, for root too: it opens and yields nothing.
    for (const char* name : {"mem.txt", "mem.bin"}) {
        const auto link = dir.path() / name;
        std::filesystem::create_symlink("/proc/self/mem", link);
        PoseFileReader reader;
        EXPECT_TRUE(reader.open(link.string())) << name;
        EXPECT_TRUE(readAll(reader).empty()) << name;
    }
#endif
}

// Four megabytes of random bytes: text reading stops at the first word that is not a number,
// binary reading takes every whole record, and neither crashes.
TEST(PoseFileReader, GarbageIsReadSafely) {
    std::mt19937 random(3);
    std::string garbage(1 << 22, '\0');
    for (char& c : garbage) {
        c = static_cast<char>(random());
    }
    garbage.replace(0, 4, "1 2 ");
    OrvaneTest::TempDir dir;
    for (const char* name : {"garbage.txt", "garbage.bin"}) {
        PoseFileReader reader;
        ASSERT_TRUE(reader.open(dir.write(name, garbage)));
        const std::size_t records = readAll(reader).size();
        if (reader.format() == PoseFormat::Text) {
            EXPECT_EQ(records, streamOracle(garbage).size());
        } else {
            EXPECT_EQ(records, garbage.size() / 104);
        }
    }
}

}  // namespace
