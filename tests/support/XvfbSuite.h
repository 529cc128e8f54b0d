#pragma once
// A test suite whose windows open on one private X server (Xvfb with Mesa), started before the
// suite's first test and stopped after its last; DISPLAY names it meanwhile.

#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/Xvfb.h"

namespace OrvaneTest {

class XvfbSuite : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        server = new XvfbServer();
        ASSERT_FALSE(server->display().empty()) << "Xvfb did not start";
        ::setenv("DISPLAY", server->display().c_str(), 1);
    }
    static void TearDownTestSuite() {
        delete server;
        server = nullptr;
    }
    inline static XvfbServer* server = nullptr;
};

}  // namespace OrvaneTest
