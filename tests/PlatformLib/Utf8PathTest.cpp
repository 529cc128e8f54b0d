// UTF-8 paths reach the system as the same names, whatever the platform's own encoding.
#include "PlatformLib/Utf8Path.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/support/TempDir.h"

namespace {

// Names outside ASCII: Latin, Greek, CJK, and one beyond the 16-bit plane (a surrogate pair in
// UTF-16).
const std::string kNames[] = {"r\xc3\xa9sum\xc3\xa9.txt",
                              "\xce\xb4\xce\xad\xce\xbb\xcf\x84\xce\xb1.dat",
                              "\xe8\xbb\x8c\xe8\xb7\xa1.bin", "\xf0\x9f\x9a\x80 launch.csv"};

TEST(Utf8Path, NamesReachTheSystemAsTheirCharacters) {
    OrvaneTest::TempDir dir;
    const std::string folder = Kor::PathToUtf8(dir.path());
    for (const std::string& name : kNames) {
        const std::string path = folder + "/" + name;
        std::FILE* file = Kor::OpenFile(path, "wb");
        ASSERT_NE(file, nullptr) << name;
        std::fputs(name.c_str(), file);
        std::fclose(file);
        // path(u8string) reads UTF-8 on every platform: the oracle of the name on disk.
        const std::u8string u8(name.begin(), name.end());
        EXPECT_TRUE(std::filesystem::is_regular_file(dir.path() / std::filesystem::path(u8)))
            << name;
        std::ifstream in(Kor::PathFromUtf8(path), std::ios::binary);
        std::string content;
        std::getline(in, content);
        EXPECT_EQ(content, name);
    }
    int seen = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        const std::string name = Kor::PathToUtf8(entry.path().filename());
        EXPECT_NE(std::find(std::begin(kNames), std::end(kNames), name), std::end(kNames)) << name;
        ++seen;
    }
    EXPECT_EQ(seen, static_cast<int>(std::size(kNames)));
}

TEST(Utf8Path, TextRoundTripsAndTheGenericFormUsesSlashes) {
    for (const std::string& name : kNames) {
        EXPECT_EQ(Kor::PathToUtf8(Kor::PathFromUtf8(name)), name);
        EXPECT_EQ(Kor::GenericPathToUtf8(Kor::PathFromUtf8("dir/" + name)), "dir/" + name);
    }
#ifdef _WIN32
    EXPECT_EQ(Kor::GenericPathToUtf8(Kor::PathFromUtf8("C:\\dir\\x.cfg")), "C:/dir/x.cfg");
    // No Windows name holds bytes that are not UTF-8; they become U+FFFD.
    EXPECT_EQ(Kor::PathToUtf8(Kor::PathFromUtf8("a\xff")), "a\xef\xbf\xbd");
#else
    // A backslash is part of a name, and any byte passes.
    EXPECT_EQ(Kor::GenericPathToUtf8(Kor::PathFromUtf8("dir\\x.cfg")), "dir\\x.cfg");
    EXPECT_EQ(Kor::PathToUtf8(Kor::PathFromUtf8("a\xff\xfe")), "a\xff\xfe");
#endif
}

TEST(Utf8Path, AFileThatCannotBeOpenedSetsErrno) {
    OrvaneTest::TempDir dir;
    errno = 0;
    EXPECT_EQ(Kor::OpenFile(Kor::PathToUtf8(dir.path() / "no" / "x.txt"), "r"), nullptr);
    EXPECT_EQ(errno, ENOENT);
}

}  // namespace
