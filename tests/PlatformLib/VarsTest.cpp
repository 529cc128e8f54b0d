// Settings access with the registry pointer empty and with a registry installed.
#include "PlatformLib/Vars.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "PlatformLib/InMemoryVarsManager.h"
#include "PlatformLib/VarsManager.h"
#include "tests/support/LogCapture.h"

namespace {

using Kor::ValueRef;
using Kor::VarBinding;
using Kor::VarType;

// Each test gets its own registry (or none); the log settings stay connected to the
// process's logging registry, so reports of a missing registry still reach the sink.
class VarsTest : public ::testing::Test {
protected:
    void SetUp() override {
        mSink = &OrvaneTest::installLogCapture();
        OrvaneTest::setIntVar("showDebug", 1);
        mLogging = Qel::RuntimeContext::VarsManager;
        Qel::RuntimeContext::VarsManager = &mRegistry;
    }
    void TearDown() override { Qel::RuntimeContext::VarsManager = mLogging; }

    void useNoRegistry() { Qel::RuntimeContext::VarsManager = nullptr; }

    void setText(const std::string& name, std::string text) {
        Kor::SetVar(name, ValueRef{&text, VarType::Text});
    }
    std::optional<ValueRef> get(std::string_view name) {
        std::lock_guard lock(mRegistry.Mutex());
        return mRegistry.Get(name);
    }

    OrvaneTest::RecordingLogSink* mSink = nullptr;
    Kor::VarsManager* mLogging = nullptr;
    Kor::InMemoryVarsManager mRegistry;
};

constexpr const char* kNoRegistry =
    "QelResult ERROR - CFF(Qel::RuntimeContext::VarsManager != nullptr). HRESULT: 0x00000000";

TEST_F(VarsTest, WithoutRegistryEverythingKeepsItsDefaultAndWritesAreReported) {
    useNoRegistry();
    VarBinding<int> size("win.initSizeX", 640);
    VarBinding<float> scale("captionScale", 1.5f);
    EXPECT_EQ(size.Value(), 640);
    EXPECT_EQ(scale.Value(), 1.5f);

    int value = 99;
    EXPECT_FALSE(Kor::TryGetInt("win.initSizeX", value));
    EXPECT_EQ(value, 0);
    EXPECT_TRUE(Kor::ListVariables().empty());

    int one = 1;
    Kor::SetVar("win.initSizeX", ValueRef{&one, VarType::Int});
    Kor::SetVarFromText("win.initSizeX", "2");
    const auto lines = mSink->lines();
    ASSERT_EQ(lines.size(), 2u);
    for (const auto& line : lines) {
        EXPECT_EQ(line.rfind(kNoRegistry, 0), 0u) << line;
    }
    EXPECT_EQ(size.Value(), 640);
    EXPECT_TRUE(mRegistry.Snapshot()->empty());
}

TEST_F(VarsTest, TextBoundAsIntIsReadAsAStreamAndBecomesAnInt) {
    setText("rate", "  42 abc");
    setText("word", "abc");
    VarBinding<int> rate("rate", 7);
    VarBinding<int> word("word", 7);
    EXPECT_EQ(rate.Value(), 42);
    EXPECT_EQ(word.Value(), 0);
    ASSERT_TRUE(get("rate"));
    EXPECT_EQ(get("rate")->type, VarType::Int);
    EXPECT_EQ(get("rate")->value, rate.Pointer());

    setText("scale", " 2.5x");
    VarBinding<float> scale("scale", 1.0f);
    EXPECT_EQ(scale.Value(), 2.5f);
    EXPECT_EQ(get("scale")->type, VarType::Float);
}

TEST_F(VarsTest, BindingsOfOneNameShareStorageAndTheFirstDecides) {
    VarBinding<int> first("shared", 5);
    VarBinding<int> second("shared", 9);
    EXPECT_EQ(first.Pointer(), second.Pointer());
    EXPECT_EQ(second.Value(), 5);
    OrvaneTest::setIntVar("shared", 11);
    EXPECT_EQ(first.Value(), 11);
    EXPECT_EQ(second.Value(), 11);
    Kor::SetVarFromText("shared", " 17 and more");
    EXPECT_EQ(first.Value(), 17);
}

TEST_F(VarsTest, ABindingKeepsTheRegistryItFirstSaw) {
    useNoRegistry();
    VarBinding<int> early("early", 3);
    Qel::RuntimeContext::VarsManager = &mRegistry;
    OrvaneTest::setIntVar("early", 8);
    EXPECT_EQ(early.Value(), 3);
    VarBinding<int> late("early", 3);
    EXPECT_EQ(late.Value(), 8);
}

TEST_F(VarsTest, AVariableOfAnotherTypeLeavesTheBindingAtItsDefault) {
    std::string text = "hello";
    Kor::SetVar("name", ValueRef{&text, VarType::String});
    float ratio = 2.75f;
    Kor::SetVar("ratio", ValueRef{&ratio, VarType::Float});

    VarBinding<int> name("name", 4);
    VarBinding<int> asInt("ratio", 6);
    OrvaneTest::setIntVar("count", 3);
    VarBinding<float> asFloat("count", 0.5f);
    EXPECT_EQ(name.Value(), 4);
    EXPECT_EQ(asInt.Value(), 6);
    EXPECT_EQ(asFloat.Value(), 0.5f);
    // Nothing was converted behind the other users' backs.
    EXPECT_EQ(get("name")->type, VarType::String);
    EXPECT_EQ(get("ratio")->type, VarType::Float);
    EXPECT_EQ(Kor::ListVariables().at("ratio"), "2.75");

    int value = 1;
    EXPECT_FALSE(Kor::TryGetInt("ratio", value));
    EXPECT_EQ(value, 0);
}

TEST_F(VarsTest, ATypeMismatchIsToldWhenLogLinesAreShown) {
    std::string text = "hello";
    Kor::SetVar("name", ValueRef{&text, VarType::String});
    // The settings of the log are read from the registry in use.
    OrvaneTest::setIntVar("showDebug", 1);
    VarBinding<int> name("name", 4);
    const auto lines = mSink->lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "[Default] ! Variable 'name' is not of type Int; its default is used\n");

    OrvaneTest::setIntVar("debug.Default", 1);
    VarBinding<int> again("name", 4);
    EXPECT_EQ(mSink->lines().size(), 1u);
}

TEST_F(VarsTest, TryGetIntReadsIntegersAndConvertsText) {
    int value = 5;
    EXPECT_FALSE(Kor::TryGetInt("missing", value));
    EXPECT_EQ(value, 0);
    EXPECT_TRUE(Kor::ListVariables().empty());

    OrvaneTest::setIntVar("n", -3);
    EXPECT_TRUE(Kor::TryGetInt("n", value));
    EXPECT_EQ(value, -3);

    setText("t", "12abc");
    EXPECT_TRUE(Kor::TryGetInt("t", value));
    EXPECT_EQ(value, 12);
    EXPECT_EQ(get("t")->type, VarType::Int);
}

TEST_F(VarsTest, ListVariablesIsSortedByteWiseWithEveryTypeAsText) {
    OrvaneTest::setIntVar("b", -12);
    float f = 0.1f;
    Kor::SetVar("a.float", ValueRef{&f, VarType::Float});
    std::string s = "some text";
    Kor::SetVar("B", ValueRef{&s, VarType::String});
    Kor::SetVarFromText("\xC3\xA9t\xC3\xA9", " 3 ");
    const std::map<std::string, std::string> expected = {
        {"B", "some text"}, {"a.float", "0.1"}, {"b", "-12"}, {"\xC3\xA9t\xC3\xA9", " 3 "}};
    EXPECT_EQ(Kor::ListVariables(), expected);
    std::vector<std::string> order;
    for (const auto& entry : Kor::ListVariables()) {
        order.push_back(entry.first);
    }
    EXPECT_EQ(order, (std::vector<std::string>{"B", "a.float", "b", "\xC3\xA9t\xC3\xA9"}));
}

TEST_F(VarsTest, ManyThreadsReadWriteBindAndListAtOnce) {
    constexpr int kThreads = 8;
    constexpr int kRounds = 2000;
    OrvaneTest::setIntVar("hot", 0);
    std::atomic<bool> bad{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &bad] {
            VarBinding<int> hot("hot", -1);
            for (int i = 0; i < kRounds; ++i) {
                switch ((t + i) % 5) {
                    case 0:
                        OrvaneTest::setIntVar("hot", i);
                        break;
                    case 1:
                        Kor::SetVarFromText("hot", std::to_string(i));
                        break;
                    case 2: {
                        int value = -1;
                        if (!Kor::TryGetInt("hot", value) || value < 0 || value >= kRounds) {
                            bad = true;
                        }
                        break;
                    }
                    case 3:
                        if (Kor::ListVariables().count("hot") != 1) {
                            bad = true;
                        }
                        break;
                    default: {
                        VarBinding<int> fresh(
                            "thread" + std::to_string(t) + "." + std::to_string(i % 50), t);
                        if (fresh.Value() != t) {
                            bad = true;
                        }
                        break;
                    }
                }
                const int seen = hot.Value();
                if (seen < 0 || seen >= kRounds) {
                    bad = true;
                }
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_FALSE(bad);
    // Each thread binds the ten names whose round number falls on its turn.
    EXPECT_EQ(Kor::ListVariables().size(), 1u + kThreads * 10u);
}

}  // namespace
