#include "foundation/olist.h"

#include <gtest/gtest.h>
#include <string>

namespace {
struct Tagged : ONode {
    Tagged(char t, int *deleted) : tag(t), deleted(deleted) {}
    ~Tagged() override { ++*deleted; }
    char tag;
    int *deleted;
};

struct OListTest : ::testing::Test {
    int deleted = 0;
    OList list;
    Tagged *make(char t) { return new Tagged(t, &deleted); }
    // Both directions, so a broken back link shows as well as a broken forward one.
    std::string order() const {
        std::string fwd, back;
        for (ONode *n = list.GetHead(); n; n = n->GetNext())
            fwd += static_cast<Tagged *>(n)->tag;
        for (ONode *n = list.GetTail(); n; n = n->GetPrev())
            back.insert(back.begin(), static_cast<Tagged *>(n)->tag);
        return fwd == back ? fwd : fwd + "|" + back;
    }
};
} // namespace

TEST_F(OListTest, AddAndRemoveAtBothEnds) {
    EXPECT_FALSE(list.AddHead(nullptr) || list.AddTail(nullptr));
    Tagged *n[4] = {make('a'), make('b'), make('c'), make('d')};
    EXPECT_TRUE(list.AddTail(n[2]) && list.AddHead(n[1]) && list.AddHead(n[0]) && list.AddTail(n[3]));
    EXPECT_EQ(order(), "abcd");
    n[0]->Remove();
    n[3]->Remove();
    EXPECT_EQ(order(), "bc");
    n[1]->Remove();
    n[2]->Remove();
    EXPECT_TRUE(list.GetHead() == nullptr && list.GetTail() == nullptr);
    EXPECT_TRUE(n[1]->GetNext() == nullptr && n[1]->GetPrev() == nullptr);
    EXPECT_EQ(n[1]->GetOwner(), &list); // owner is left as it was
    n[1]->Remove();                     // no neighbours: nothing happens
    for (Tagged *t : n)
        delete t;
}

TEST_F(OListTest, SetPrevOnFirstLastAndFreeNodes) {
    Tagged *a = make('a'), *c = make('c'), *x = make('x');
    EXPECT_FALSE(a->SetPrev(x)); // a is in no list
    list.AddTail(a);
    list.AddTail(c);
    EXPECT_TRUE(c->SetPrev(make('b')));
    EXPECT_TRUE(a->SetPrev(x));
    EXPECT_EQ(order(), "xabc");
    EXPECT_EQ(x->GetOwner(), &list);
}

TEST_F(OListTest, ClearAndDestructorDeleteThroughVirtualDestructor) {
    for (char t : std::string("abc"))
        list.AddTail(make(t));
    list.Clear();
    EXPECT_EQ(deleted, 3);
    EXPECT_TRUE(list.GetHead() == nullptr && list.GetTail() == nullptr);
    ONode *inner = new OList; // lists are deleted as nodes too
    static_cast<OList *>(inner)->AddTail(make('q'));
    delete inner;
    EXPECT_EQ(deleted, 4);
}
