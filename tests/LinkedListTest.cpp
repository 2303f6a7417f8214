#include "Util/LinkedList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

struct Item {
    int key;
    int id;
};

int compareKeys(const Item* a, const Item* b) {
    return a->key - b->key;
}

// Walks both directions so that a broken prev link shows up as a mismatch.
void expectItems(const List<Item>& list, const std::vector<const Item*>& expected) {
    std::vector<const Item*> forward, backward;
    for (auto* node = list.head; node != nullptr; node = node->next) forward.push_back(node->data);
    for (auto* node = list.tail; node != nullptr; node = node->prev)
        backward.insert(backward.begin(), node->data);
    EXPECT_EQ(forward, expected);
    EXPECT_EQ(backward, expected);
    EXPECT_EQ(list.count, static_cast<int>(expected.size()));
}

TEST(LinkedListTest, EditsKeepLinksConsistent) {
    List<Item> list;
    Item a{1, 0}, b{2, 0}, c{3, 0}, d{4, 0}, twinOfD{4, 0};
    EXPECT_EQ(list.popBack(), nullptr);
    EXPECT_EQ(list.popFront(), nullptr);

    list.pushBack(&b);
    list.pushFront(&a);
    list.insertAfter(list.tail, &d);
    list.insertBefore(list.tail, &c);
    list.remove(&twinOfD);
    expectItems(list, {&a, &b, &c, &d});

    EXPECT_EQ(list.popFront(), &a);
    EXPECT_EQ(list.popBack(), &d);
    list.removeNode(list.head);
    expectItems(list, {&c});
    list.remove(&c);
    expectItems(list, {});
    EXPECT_EQ(list.tail, nullptr);
}

TEST(LinkedListTest, InsertSortedPutsNewestFirstAmongEquals) {
    List<Item> list;
    Item middle{5, 0}, low{1, 1}, high{9, 2}, middleNewer{5, 3};
    for (Item* item : {&middle, &low, &high, &middleNewer}) list.insertSorted(item, compareKeys);
    expectItems(list, {&low, &middleNewer, &middle, &high});
}

// Every length up to a few passes, so that odd leftover runs are merged too.
TEST(LinkedListTest, SortIsStableAndRelinksBothDirections) {
    for (int length = 0; length <= 17; ++length) {
        std::vector<Item> items;
        for (int i = 0; i < length; ++i) items.push_back({(i * 7) % 4, i});
        List<Item> list;
        std::vector<const Item*> expected;
        for (Item& item : items) {
            list.pushBack(&item);
            expected.push_back(&item);
        }
        list.sort(compareKeys);
        std::stable_sort(expected.begin(), expected.end(),
                         [](const Item* a, const Item* b) { return a->key < b->key; });
        SCOPED_TRACE(length);
        expectItems(list, expected);
    }
}

}  // namespace
