// orvane-record's command line: every form it takes and a clear reason for what it refuses.
#include "tools/orvane-record/RecordOptions.h"

#include <gtest/gtest.h>

namespace {

using OrvaneRecord::ParseRecordOptions;

TEST(RecordOptions, TheOptionsTakeAValueAfterThemOrAfterAnEqualsSign) {
    auto parsed = ParseRecordOptions({"--frames", "25", "--png=shots", "--video", "take.mp4"});
    EXPECT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.frames, 25u);
    EXPECT_EQ(parsed.options.pngFolder, "shots");
    EXPECT_EQ(parsed.options.videoFile, "take.mp4");
    EXPECT_FALSE(parsed.options.help);

    parsed = ParseRecordOptions({"--video=a=b.mkv"});
    EXPECT_EQ(parsed.options.videoFile, "a=b.mkv");
    EXPECT_FALSE(parsed.options.frames);  // until Orvane stops recording
    EXPECT_TRUE(ParseRecordOptions({"-h"}).options.help);
    EXPECT_EQ(ParseRecordOptions({"--help"}).error, "");
    EXPECT_EQ(ParseRecordOptions({"--png", "-dir"}).options.pngFolder, "-dir");
}

TEST(RecordOptions, WhatItRefusesItNames) {
    const struct {
        std::vector<std::string> arguments;
        std::string error;
    } cases[] = {
        {{}, "nothing to record to: give --png DIR, --video FILE or both"},
        {{"--frames", "3"}, "nothing to record to: give --png DIR, --video FILE or both"},
        {{"--png"}, "--png needs a value"},
        {{"--png="}, "--png needs a non-empty value"},
        {{"--frames", "0", "--png", "d"}, "--frames needs a whole number of at least 1, not '0'"},
        {{"--frames", "-2", "--png", "d"}, "--frames needs a whole number of at least 1, not '-2'"},
        {{"--frames", "3x", "--png", "d"}, "--frames needs a whole number of at least 1, not '3x'"},
        {{"--frames", "99999999999999999999", "--png", "d"},
         "--frames needs a whole number of at least 1, not '99999999999999999999'"},
        {{"--png", "d", "extra"}, "unknown argument 'extra'"},
        {{"--fps=30", "--png", "d"}, "unknown argument '--fps=30'"},
        {{"-frames=3", "--png", "d"}, "unknown argument '-frames=3'"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseRecordOptions(c.arguments).error, c.error);
    }
}

}  // namespace
