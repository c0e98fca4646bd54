// The pointer list: stack use, cursor moves at both ends, removal while walking
// and the array form.
#include <gtest/gtest.h>

#include <vector>

#include "dsp/kvt/CPointerList.h"

using KVT::CPointerList;

namespace {

int values[6] = {0, 1, 2, 3, 4, 5};
void* p(int i) { return &values[i]; }

std::vector<void*> items(std::initializer_list<int> indices) {
    std::vector<void*> v;
    for (int i : indices) v.push_back(p(i));
    return v;
}

// The forward walk; the backward links must agree with it.
std::vector<void*> walk(CPointerList& list) {
    std::vector<void*> seen, back;
    list.Rewind();
    while (void* q = list.Next()) seen.push_back(q);
    for (uint32_t n = list.Count(); n > 0; n--) back.insert(back.begin(), list.At(static_cast<int>(n) - 1));
    EXPECT_EQ(back, seen);
    return seen;
}

void fill(CPointerList& list, int n) {
    for (int i = 0; i < n; i++) list.Push(p(i));
}

} // namespace

TEST(CPointerList, StackAndCursorAtBothEnds) {
    CPointerList list;
    list.Push(nullptr); // ignored
    EXPECT_EQ(list.Count(), 0u);
    EXPECT_EQ(list.Pop(), nullptr);
    fill(list, 2);
    EXPECT_EQ(list.Pop(), p(1));
    EXPECT_EQ(list.Current(), p(0)); // the cursor moves to the new last item
    EXPECT_EQ(list.Pop(), p(0));
    EXPECT_EQ(list.First(), nullptr);
    EXPECT_EQ(list.Last(), nullptr);
    EXPECT_EQ(list.Current(), nullptr);

    fill(list, 4); // usable again after emptying
    EXPECT_EQ(list.At(0), p(0));
    EXPECT_EQ(list.Next(), p(1)); // At leaves the cursor behind the node
    EXPECT_EQ(list[3], p(3));
    EXPECT_EQ(list.Next(), nullptr);
    EXPECT_EQ(list.At(4), nullptr);
    EXPECT_EQ(list.At(-1), nullptr);
    EXPECT_EQ(list.Last(), p(3));
}

TEST(CPointerList, DeleteByPointerAndIndex) {
    CPointerList list;
    fill(list, 5);
    int stranger = 9;
    list.Delete(&stranger);
    EXPECT_EQ(list.Count(), 5u);
    EXPECT_EQ(list.Next(), nullptr); // the walk left the cursor at the end
    list.Delete(p(2));
    EXPECT_EQ(list.Current(), p(3)); // behind the removed node
    EXPECT_EQ(walk(list), items({0, 1, 3, 4}));

    list.Delete(0); // first
    list.Delete(2); // last
    EXPECT_EQ(list.Current(), nullptr);
    list.Delete(7);
    list.Delete(-1);
    EXPECT_EQ(walk(list), items({1, 3}));
    list.Push(p(5));
    list.Delete(1); // middle
    EXPECT_EQ(walk(list), items({1, 5}));
}

TEST(CPointerList, RemovingWhileWalking) {
    CPointerList list;
    fill(list, 6);
    list.Rewind();
    while (void* q = list.Current()) {
        if (*static_cast<int*>(q) % 2 == 0)
            list.Delete(q); // leaves the cursor on the next node
        else
            list.Next();
    }
    EXPECT_EQ(walk(list), items({1, 3, 5}));
}

TEST(CPointerList, AssignmentAndMove) {
    CPointerList a, b;
    fill(a, 3);
    b.Push(p(5));
    b = a;
    EXPECT_EQ(walk(b), walk(a));
    CPointerList& self = a;
    a = self; // self-assignment empties the list, as callers expect
    EXPECT_EQ(a.Count(), 0u);

    CPointerList c;
    c.Assign(b);
    EXPECT_EQ(b.Count(), 0u);
    EXPECT_EQ(walk(c), items({0, 1, 2}));
}

TEST(CPointerList, ArrayOperation) {
    CPointerList list;
    EXPECT_EQ(list.BeginArrayOperation(), nullptr);
    fill(list, 3);
    void** slots = list.BeginArrayOperation();
    ASSERT_NE(slots, nullptr);
    EXPECT_EQ(list.Count(), 0u);
    EXPECT_EQ(slots[2], p(2));
    slots[1] = nullptr;
    std::swap(slots[0], slots[2]);
    list.EndArrayOperation();
    EXPECT_EQ(walk(list), items({2, 0}));
    list.EndArrayOperation(); // no array: nothing
    EXPECT_EQ(list.Count(), 2u);
}
