// The installed registry as its callers rely on it: fixed addresses, types, text.
#include "PlatformLib/InMemoryVarsManager.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <mutex>
#include <string>

namespace {

using Kor::ValueRef;
using Kor::VarType;

class InMemoryVarsManagerTest : public ::testing::Test {
protected:
    template <typename T>
    void set(std::string_view name, T value, VarType type) {
        std::lock_guard lock(mRegistry.Mutex());
        mRegistry.Set(name, ValueRef{&value, type});
    }
    ValueRef get(std::string_view name) {
        std::lock_guard lock(mRegistry.Mutex());
        auto found = mRegistry.Get(name);
        EXPECT_TRUE(found) << name;
        return found.value_or(ValueRef{nullptr, VarType::Text});
    }
    std::string text(std::string_view name) {
        std::lock_guard lock(mRegistry.Mutex());
        return mRegistry.Snapshot()->at(std::string(name));
    }

    Kor::InMemoryVarsManager mRegistry;
};

TEST_F(InMemoryVarsManagerTest, ValuesStayAtTheirAddressWhileTheRegistryGrows) {
    int initial = 3;
    void* address = nullptr;
    {
        std::lock_guard lock(mRegistry.Mutex());
        address = mRegistry.GetOrAdd("fixed", ValueRef{&initial, VarType::Int}).value;
        // An existing variable is not reset by another default.
        int other = 8;
        EXPECT_EQ(mRegistry.GetOrAdd("fixed", ValueRef{&other, VarType::Int}).value, address);
    }
    for (int i = 0; i < 5000; ++i) {
        set("grow" + std::to_string(i), i, VarType::Int);
    }
    set("fixed", 4, VarType::Int);
    EXPECT_EQ(get("fixed").value, address);
    EXPECT_EQ(*static_cast<int*>(address), 4);
}

TEST_F(InMemoryVarsManagerTest, AWriteOfAnotherTypeChangesTheTypeAndReachesEarlierReaders) {
    set("v", 7, VarType::Int);
    const int* asInt = static_cast<int*>(get("v").value);
    set("v", 2.75f, VarType::Float);
    ASSERT_EQ(get("v").type, VarType::Float);
    const float* asFloat = static_cast<float*>(get("v").value);
    EXPECT_EQ(*asFloat, 2.75f);
    EXPECT_EQ(*asInt, 2);

    set("v", std::string(" 12.5 px"), VarType::String);
    EXPECT_EQ(get("v").type, VarType::String);
    EXPECT_EQ(*static_cast<std::string*>(get("v").value), " 12.5 px");
    EXPECT_EQ(*asInt, 12);
    EXPECT_EQ(*asFloat, 12.5f);

    set("v", -5, VarType::Int);
    EXPECT_EQ(get("v").value, asInt);
    EXPECT_EQ(*asFloat, -5.0f);
}

TEST_F(InMemoryVarsManagerTest, FloatsOutsideTheIntRangeReachIntReadersClamped) {
    set("big", 0, VarType::Int);
    const int* asInt = static_cast<int*>(get("big").value);
    set("big", 1e20f, VarType::Float);
    EXPECT_EQ(*asInt, std::numeric_limits<int>::max());
    set("big", -1e20f, VarType::Float);
    EXPECT_EQ(*asInt, std::numeric_limits<int>::min());
    set("big", std::nanf(""), VarType::Float);
    EXPECT_EQ(*asInt, 0);
}

TEST_F(InMemoryVarsManagerTest, SetFromTextKeepsTheTypeAndHoldsTextForANewName) {
    set("i", 1, VarType::Int);
    set("f", 1.0f, VarType::Float);
    set("s", std::string("x"), VarType::String);
    mRegistry.SetFromText("i", "  42 abc");
    mRegistry.SetFromText("f", "-0.25e1x");
    mRegistry.SetFromText("s", "  spaced ");
    mRegistry.SetFromText("new", "  7");
    EXPECT_EQ(get("i").type, VarType::Int);
    EXPECT_EQ(*static_cast<int*>(get("i").value), 42);
    EXPECT_EQ(get("f").type, VarType::Float);
    EXPECT_EQ(*static_cast<float*>(get("f").value), -2.5f);
    EXPECT_EQ(get("s").type, VarType::String);
    EXPECT_EQ(*static_cast<std::string*>(get("s").value), "  spaced ");
    EXPECT_EQ(get("new").type, VarType::Text);
    EXPECT_EQ(*static_cast<std::string*>(get("new").value), "  7");
    mRegistry.SetFromText("i", "nothing");
    EXPECT_EQ(*static_cast<int*>(get("i").value), 0);
}

TEST_F(InMemoryVarsManagerTest, SnapshotWritesEachTypeAsText) {
    set("int", -2147483647 - 1, VarType::Int);
    set("float.tenth", 0.1f, VarType::Float);
    set("float.one", 1.0f, VarType::Float);
    set("float.big", 3.0e38f, VarType::Float);
    set("text", std::string("as typed "), VarType::Text);
    set("string", std::string(""), VarType::String);
    EXPECT_EQ(text("int"), "-2147483648");
    EXPECT_EQ(text("float.tenth"), "0.1");
    EXPECT_EQ(text("float.one"), "1");
    EXPECT_EQ(text("float.big"), "3e+38");
    EXPECT_EQ(text("text"), "as typed ");
    EXPECT_EQ(text("string"), "");
    // The text of a float reads back as the same float.
    mRegistry.SetFromText("float.tenth", text("float.tenth"));
    EXPECT_EQ(*static_cast<float*>(get("float.tenth").value), 0.1f);
}

TEST_F(InMemoryVarsManagerTest, AnUnknownTypeByteStoresNothing) {
    set("v", 3, VarType::Int);
    set("v", 9, static_cast<VarType>(7));
    EXPECT_EQ(get("v").type, VarType::Int);
    EXPECT_EQ(*static_cast<int*>(get("v").value), 3);
}

}  // namespace
