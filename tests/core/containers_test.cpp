// Array and Map: the index and key-order behaviour every registry relies on.
#include "core/Array.h"
#include "core/Map.h"

#include <gtest/gtest.h>
#include <string>

using ZEPHRAN_STAGEMILL::Array;
using ZEPHRAN_STAGEMILL::Map;

TEST(Array, OutOfRangeRaisesTheSubscriptError) {
    Array<int> a;
    EXPECT_THROW(a.getLast(), std::out_of_range);
    EXPECT_THROW(a.getFirst(), std::out_of_range);
    a.add(7);
    a.add(9);
    EXPECT_EQ(a.getFirst(), 7);
    EXPECT_EQ(a.getLast(), 9);
    try {
        a.get(2);
        FAIL();
    } catch (const std::out_of_range& e) {
        EXPECT_STREQ(e.what(), "invalid vector<T> subscript");
    }
    a.swap(0, 1);
    EXPECT_EQ(a.get(0), 9);
    EXPECT_EQ(a.size(), a.getNodeCount());
}

TEST(Array, CopiesAreIndependent) {
    Array<std::string> a;
    a.add("x");
    Array<std::string> b = a;
    b.set(0, "y");
    EXPECT_EQ(a.get(0), "x");
    EXPECT_EQ(b.get(0), "y");
}

TEST(Map, KeyOrderIsBytewiseWithPrefixFirst) {
    Map<int> m;
    m.add("b", 3);
    m.add("a", 1);
    m.add("ab", 2);
    m.add("\xC3\xA9", 5); // bytes above 0x7F sort after ASCII (unsigned comparison)
    m.add("", 0);         // nodes without id use the empty key: first of all
    ASSERT_EQ(m.size(), 5u);
    EXPECT_EQ(m.get(0), 0);
    EXPECT_EQ(m.get(1), 1);
    EXPECT_EQ(m.get(2), 2);
    EXPECT_EQ(m.get(3), 3);
    EXPECT_EQ(m.get(4), 5);
    EXPECT_EQ(m.getKey(2), "ab");
    // "root" sorts between numbered ids and later letters.
    Map<int> n;
    for (const char* k : {"root", "piece10", "piece2", "Piece"}) n.add(k, 1);
    EXPECT_EQ(n.getKey(0), "Piece");
    EXPECT_EQ(n.getKey(1), "piece10");
    EXPECT_EQ(n.getKey(2), "piece2");
    EXPECT_EQ(n.getKey(3), "root");
}

TEST(Map, ReAddKeepsPlaceAndTakesNewValue) {
    Map<int> m;
    m.add("k", 1);
    m.add("z", 2);
    m.assign("k", 9);
    EXPECT_EQ(m.size(), 2u);
    EXPECT_EQ(m.get(0), 9);
}

TEST(Map, MissingAndEmptyGiveNull) {
    Map<int*> m;
    EXPECT_EQ(m.get(0), nullptr);
    EXPECT_EQ(m.find("nope"), nullptr);
    EXPECT_EQ(m.size(), 0u);
    EXPECT_FALSE(m.exists("nope"));
    int v = 1, w = 2;
    m.add("b", &v);
    m.add("a", &v);
    EXPECT_EQ(m.getIndex(&v), 0u); // smaller key wins
    EXPECT_EQ(m.getIndex(&w), 0xFFFFFFFFu);
    EXPECT_EQ(m.getByString("b"), &v);
}
