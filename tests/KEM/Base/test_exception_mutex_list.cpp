// CKEMException, KEMMutex and the item lists.
#include <KEMException.h>
#include <KEMList.h>
#include <KEMMutex.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

// ---- CKEMException ------------------------------------------------------------

static int CountLines(const std::string& text) {
    int n = 0;
    for (char c : text)
        if (c == '\n')
            ++n;
    return n;
}

TEST(KEMException, EmptyFileGivesExactlyThreeLines) {
    CKEMException e("bad index", "CKEMArray", "", 12);
    EXPECT_EQ(std::string(e.what()), "KEM Exception\nSOURCE: CKEMArray\nREASON: bad index\n");
    EXPECT_EQ(CountLines(e.what()), 3);
}

TEST(KEMException, FileAndLineMinusOneHasFileLineButNoLineLine) {
    CKEMException e("r", "s", "a/b.cpp", -1);
    std::string w = e.what();
    EXPECT_EQ(w, "KEM Exception\nFILE: a/b.cpp\nSOURCE: s\nREASON: r\n");
    EXPECT_EQ(w.find("LINE:"), std::string::npos);
}

TEST(KEMException, FileAndLineGivesAllFiveLines) {
    CKEMException e("r", "", "x.cpp", 0);
    EXPECT_EQ(std::string(e.what()), "KEM Exception\nFILE: x.cpp\nLINE: 0\nSOURCE: \nREASON: r\n");
}

TEST(KEMException, NullFileIsEmpty) {
    CKEMException e("r", "s", nullptr, 7);
    EXPECT_EQ(e.GetFile(), "");
    EXPECT_EQ(CountLines(e.what()), 3);
}

TEST(KEMException, GettersReturnCopies) {
    CKEMException e("reason", "source", "file.cpp", 42);
    EXPECT_EQ(e.GetReason(), "reason");
    EXPECT_EQ(e.GetSource(), "source");
    EXPECT_EQ(e.GetFile(), "file.cpp");
    EXPECT_EQ(e.GetLine(), 42);
}

TEST(KEMException, WhatIsKeptBetweenCalls) {
    CKEMException e("r", "s", "", 1);
    const char* first = e.what();
    EXPECT_EQ(first, e.what());
}

TEST(KEMException, CopyAndAssignmentRebuildTheMessage) {
    CKEMException a("ra", "sa", "", -1);
    CKEMException b("rb", "sb", "fb", 3);
    (void)a.what();
    CKEMException c(a);
    EXPECT_STREQ(c.what(), a.what());
    a = b;
    EXPECT_STREQ(a.what(), b.what());
    EXPECT_EQ(a.GetLine(), 3);
}

TEST(KEMException, ThrowMacroCarriesFileAndLineAndIsAStdException) {
    int line = 0;
    try {
        line = __LINE__; KEM_THROW_SRC("boom", "[test]");
    } catch (const std::exception& e) {
        const CKEMException* k = dynamic_cast<const CKEMException*>(&e);
        ASSERT_NE(k, nullptr);
        EXPECT_EQ(k->GetReason(), "boom");
        EXPECT_EQ(k->GetSource(), "[test]");
        EXPECT_EQ(k->GetLine(), line);
        EXPECT_NE(k->GetFile().find("test_exception_mutex_list.cpp"), std::string::npos);
        return;
    }
    FAIL() << "nothing thrown";
}

TEST(KEMAssertDeathTest, FailedAssertionStopsWithTheAssertText) {
    PlatSetMessageBoxInteractive(false);
    EXPECT_DEATH(
        {
            PlatSetMessageBoxInteractive(false);
            KEM_ASSERT(1 == 2);
        },
        "\\[ASSERT\\] ASSERT failed \nin file: .*test_exception_mutex_list.cpp \nat line: [0-9]+");
}

// ---- KEMMutex -------------------------------------------------------------------

TEST(KEMMutex, LongNameKeepsItsFirst31Characters) {
    const char* name40 = "0123456789012345678901234567890123456789";
    KEMMutex m(name40);
    EXPECT_EQ(std::string(m.GetName()), std::string(name40, 31));
    EXPECT_EQ(std::strlen(m.GetName()), 31u);
}

TEST(KEMMutex, NullNameIsUnamedMutex) {
    KEMMutex m(nullptr);
    EXPECT_STREQ(m.GetName(), "UNAMED MUTEX");
    m.SetName("scene");
    EXPECT_STREQ(m.GetName(), "scene");
    m.SetName(nullptr);
    EXPECT_STREQ(m.GetName(), "UNAMED MUTEX");
}

TEST(KEMMutex, InitRunsOnlyOnce) {
    KEMMutex m("first");
    m.Init("second");
    EXPECT_STREQ(m.GetName(), "first");
}

TEST(KEMMutex, LockCountsAndIsRecursive) {
    KEMMutex m("m");
    EXPECT_FALSE(m.IsLocked());
    EXPECT_EQ(m.GetLockCount(), 0u);
    m.Lock();
    EXPECT_TRUE(m.IsLocked());
    EXPECT_NE(m.GetOwner(), 0u);
    m.Lock();   // recursive: does not wait
    EXPECT_EQ(m.GetLockCount(), 2u);
    m.Unlock();
    m.Unlock();
    EXPECT_FALSE(m.IsLocked());
    EXPECT_EQ(m.GetOwner(), 0u);
    EXPECT_GE(m.GetTotalHeldTime(), 0.0f);
    {
        KEMMutexLock lock(m);
        EXPECT_TRUE(m.IsLocked());
        EXPECT_EQ(m.GetLockCount(), 3u);
    }
    EXPECT_FALSE(m.IsLocked());
}

TEST(KEMMutex, DestroyTwiceDeletesTheSectionOnce) {
    // Run under the sanitizers (fuzz tree) a double delete would be reported;
    // here the second Destroy and the destructor must be harmless no-ops.
    auto* m = new KEMMutex("twice");
    EXPECT_FALSE(m->IsDestroyed());
    m->Destroy();
    EXPECT_TRUE(m->IsDestroyed());
    m->Destroy();
    EXPECT_TRUE(m->IsDestroyed());
    m->Lock();     // without a section: nothing
    m->Unlock();
    EXPECT_EQ(m->GetLockCount(), 0u);
    delete m;      // destroyed flag set: the destructor does not destroy again
}

// ---- CKEMListItem cells and their list ----------------------------------------------

namespace {
struct Counted {
    static int sLive;
    int value;
    explicit Counted(int v) : value(v) { ++sLive; }
    ~Counted() { --sLive; }
};
int Counted::sLive = 0;

// A cell kind that counts its own destruction, deleted through the base.
struct CountingCell : CKEMListItem<Counted> {
    static int sDeleted;
    explicit CountingCell(Counted* v) : CKEMListItem<Counted>(v) {}
    ~CountingCell() override { ++sDeleted; }
};
int CountingCell::sDeleted = 0;

std::vector<int> Values(CKEMList<Counted>& list) {
    std::vector<int> out;
    for (auto* it = list.GetHead(); it; it = it->GetNext())
        out.push_back(it->GetValue()->value);
    return out;
}
}  // namespace

TEST(KEMListItem, NewListIsEmptyWithoutCursor) {
    CKEMList<Counted> list;
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.GetCursorIndex(), -1);
    EXPECT_EQ(list.GetHead(), nullptr);
    EXPECT_EQ(list.GetTail(), nullptr);
    EXPECT_EQ(list.Current(), nullptr);
    EXPECT_EQ(list.First(), nullptr);
    EXPECT_EQ(list.Next(), nullptr);
}

TEST(KEMListItem, CreateAppendsInOrderAndRefusesNull) {
    Counted a(1), b(2), c(3);
    CKEMList<Counted> list;
    EXPECT_NE(CKEMListItem<Counted>::Create(&list, &a), nullptr);
    EXPECT_EQ(CKEMListItem<Counted>::Create(&list, nullptr), nullptr);
    EXPECT_EQ(CKEMListItem<Counted>::Create(nullptr, &b), nullptr);
    EXPECT_EQ(list.Append(&b), 0);
    EXPECT_EQ(list.Append(nullptr), -1);
    list.Append(&c);
    EXPECT_EQ(list.GetCount(), 3);
    EXPECT_EQ(Values(list), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(list.GetHead()->GetPrev(), nullptr);
    EXPECT_EQ(list.GetTail()->GetNext(), nullptr);
    EXPECT_EQ(list.GetTail()->GetPrev()->GetValue(), &b);
}

TEST(KEMListItem, CursorIteration) {
    Counted a(1), b(2);
    CKEMList<Counted> list;
    list.Append(&a);
    list.Append(&b);
    EXPECT_EQ(list.First(), &a);
    EXPECT_EQ(list.GetCursorIndex(), 0);
    EXPECT_EQ(list.Next(), &b);
    EXPECT_EQ(list.GetCursorIndex(), 1);
    EXPECT_EQ(list.Current(), &b);
    EXPECT_EQ(list.Next(), nullptr);   // past the tail: no cursor
    EXPECT_EQ(list.GetCursorIndex(), -1);
    EXPECT_EQ(list.Current(), nullptr);
}

TEST(KEMListItem, GetAtWalksFromTheCursorAndLeavesItThere) {
    Counted v[5] = {Counted(0), Counted(1), Counted(2), Counted(3), Counted(4)};
    CKEMList<Counted> list;
    for (auto& c : v)
        list.Append(&c);
    EXPECT_EQ(list.GetAt(3), &v[3]);
    EXPECT_EQ(list.GetCursorIndex(), 3);
    EXPECT_EQ(list.GetAt(1), &v[1]);   // backwards from the cursor
    EXPECT_EQ(list.Current(), &v[1]);
    EXPECT_EQ(list.GetAt(4), &v[4]);
    EXPECT_EQ(list.GetAt(-1), nullptr);
    EXPECT_EQ(list.GetAt(5), nullptr);
    EXPECT_EQ(list.GetCursorIndex(), 4);   // unchanged by the failures
}

TEST(KEMListItem, RemoveFollowsHeadTailCountAndCursor) {
    Counted v[4] = {Counted(0), Counted(1), Counted(2), Counted(3)};
    CKEMList<Counted> list;
    EXPECT_EQ(list.Remove(&v[0]), -1);   // empty list
    for (auto& c : v)
        list.Append(&c);
    EXPECT_EQ(list.Remove(nullptr), -1);
    Counted stranger(9);
    EXPECT_EQ(list.Remove(&stranger), 0);   // not in the list: nothing changes
    EXPECT_EQ(list.GetCount(), 4);

    list.GetAt(2);                        // cursor on v[2]
    EXPECT_EQ(list.Remove(&v[2]), 0);     // cursor moves to the following cell
    EXPECT_EQ(list.Current(), &v[3]);
    EXPECT_EQ(list.GetCursorIndex(), 2);
    EXPECT_EQ(list.Remove(&v[0]), 0);     // head removed: the cursor's index drops
    EXPECT_EQ(list.GetHead()->GetValue(), &v[1]);
    EXPECT_EQ(list.GetCursorIndex(), 1);
    EXPECT_EQ(list.Current(), &v[3]);
    EXPECT_EQ(list.Remove(&v[3]), 0);     // tail and cursor: no following cell
    EXPECT_EQ(list.GetCursorIndex(), -1);
    EXPECT_EQ(list.Current(), nullptr);
    EXPECT_EQ(list.GetTail()->GetValue(), &v[1]);
    EXPECT_EQ(list.GetCount(), 1);
    EXPECT_EQ(list.GetHead(), list.GetTail());
    EXPECT_EQ(list.RemoveCurrent(), -1);
    list.First();
    EXPECT_EQ(list.RemoveCurrent(), 0);
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.GetHead(), nullptr);
    EXPECT_EQ(list.GetTail(), nullptr);
    EXPECT_EQ(Counted::sLive, 5);   // the values all stay
}

TEST(KEMListItem, DeleteItemsDeletesCellsThroughTheVirtualDestructorNotValues) {
    int liveBefore = Counted::sLive;
    CountingCell::sDeleted = 0;
    {
        CKEMList<Counted> list;
        Counted a(1), b(2), c(3);
        // Link hand-made cells of the derived kind, as a list user may.
        CKEMListItem<Counted>* cells[3] = {new CountingCell(&a), new CountingCell(&b), new CountingCell(&c)};
        for (int i = 0; i < 3; ++i) {
            cells[i]->mPrev = i > 0 ? cells[i - 1] : nullptr;
            cells[i]->mNext = i < 2 ? cells[i + 1] : nullptr;
        }
        list.mHead = cells[0];
        list.mTail = cells[2];
        list.mCount = 3;
        list.First();
        DeleteItems(list);
        EXPECT_EQ(CountingCell::sDeleted, 3);
        EXPECT_EQ(list.GetCount(), 0);
        EXPECT_EQ(list.GetHead(), nullptr);
        EXPECT_EQ(list.GetTail(), nullptr);
        EXPECT_EQ(list.GetCursorIndex(), -1);
        EXPECT_EQ(Counted::sLive, liveBefore + 3);   // values untouched
        DeleteItems(list);                          // an empty list: nothing
    }
    EXPECT_EQ(Counted::sLive, liveBefore);
}

TEST(KEMListItem, DestructorDeletesCellsOnly) {
    auto* a = new Counted(1);
    {
        CKEMList<Counted> list;
        list.Append(a);
    }
    EXPECT_EQ(a->value, 1);
    delete a;
}

TEST(KEMListItem, DeleteValuesAndItemsFreesBoth) {
    int liveBefore = Counted::sLive;
    CKEMList<Counted> list;
    list.Append(new Counted(1));
    list.Append(new Counted(2));
    EXPECT_EQ(Counted::sLive, liveBefore + 2);
    list.DeleteValuesAndItems();
    EXPECT_EQ(Counted::sLive, liveBefore);
    EXPECT_EQ(list.GetCount(), 0);
}

TEST(KEMListItem, UnsignedShortValuesAsTheIntroStateUsesThem) {
    unsigned short times[2] = {11, 13};
    CKEMList<unsigned short> list;
    CKEMListItem<unsigned short>::Create(&list, &times[0]);
    CKEMListItem<unsigned short>::Create(&list, &times[1]);
    EXPECT_EQ(*list.GetAt(1), 13);
    EXPECT_EQ(list.IndexOf(&times[0]), 0);
    EXPECT_EQ(list.Remove(&times[0]), 0);
    EXPECT_EQ(*list.GetAt(0), 13);
}

// ---- KEMLinkedList (intrusive) -----------------------------------------------------

namespace {
struct Node : KEMLinkedNode<Node> {
    static int sLive;
    int id;
    explicit Node(int i) : id(i) { ++sLive; }
    ~Node() { --sLive; }
};
int Node::sLive = 0;

std::vector<int> Ids(const KEMLinkedList<Node>& list) {
    std::vector<int> out;
    for (Node* n = list.GetHead(); n; n = n->GetNext())
        out.push_back(n->id);
    return out;
}
std::vector<int> IdsBackwards(const KEMLinkedList<Node>& list) {
    std::vector<int> out;
    for (Node* n = list.GetTail(); n; n = n->GetPrev())
        out.push_back(n->id);
    return out;
}

// A type whose links have other names, reached through a traits class.
struct Other {
    Other* before = nullptr;
    Other* after = nullptr;
};
struct OtherLinks {
    static Other*& Prev(Other* o) { return o->before; }
    static Other*& Next(Other* o) { return o->after; }
};
}  // namespace

TEST(KEMLinkedList, NewListIsEmptyAndDoesNotOwn) {
    KEMLinkedList<Node> list;
    EXPECT_EQ(list.GetHead(), nullptr);
    EXPECT_EQ(list.GetTail(), nullptr);
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_FALSE(list.OwnsItems());
}

TEST(KEMLinkedList, AppendLinksAtTheTail) {
    Node a(1), b(2), c(3);
    KEMLinkedList<Node> list;
    EXPECT_TRUE(list.Append(&a));
    EXPECT_EQ(list.GetHead(), &a);
    EXPECT_EQ(list.GetTail(), &a);
    EXPECT_TRUE(list.Append(&b));
    EXPECT_TRUE(list.Append(&c));
    EXPECT_EQ(list.GetCount(), 3);
    EXPECT_EQ(Ids(list), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(IdsBackwards(list), (std::vector<int>{3, 2, 1}));
    EXPECT_EQ(b.mPrev, &a);
    EXPECT_EQ(b.mNext, &c);
    EXPECT_FALSE(list.Append(&b));        // already linked
    EXPECT_FALSE(list.Append(nullptr));
    EXPECT_EQ(list.GetCount(), 3);
    list.UnlinkAll();
}

TEST(KEMLinkedList, RemoveHeadMiddleTailNullsLinks) {
    Node n[5] = {Node(0), Node(1), Node(2), Node(3), Node(4)};
    KEMLinkedList<Node> list;
    for (auto& x : n)
        list.Append(&x);
    EXPECT_TRUE(list.Remove(&n[2]));   // middle
    EXPECT_EQ(n[2].mPrev, nullptr);
    EXPECT_EQ(n[2].mNext, nullptr);
    EXPECT_EQ(Ids(list), (std::vector<int>{0, 1, 3, 4}));
    EXPECT_TRUE(list.Remove(&n[0]));   // head
    EXPECT_EQ(list.GetHead(), &n[1]);
    EXPECT_EQ(n[1].mPrev, nullptr);
    EXPECT_TRUE(list.Remove(&n[4]));   // tail
    EXPECT_EQ(list.GetTail(), &n[3]);
    EXPECT_EQ(n[3].mNext, nullptr);
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_EQ(IdsBackwards(list), (std::vector<int>{3, 1}));
    EXPECT_FALSE(list.Remove(&n[2]));  // no longer in the list
    EXPECT_FALSE(list.Remove(nullptr));
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_TRUE(list.Remove(&n[1]));
    EXPECT_TRUE(list.Remove(&n[3]));
    EXPECT_EQ(list.GetHead(), nullptr);
    EXPECT_EQ(list.GetTail(), nullptr);
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_TRUE(list.Append(&n[2]));   // a removed element can be linked again
    list.UnlinkAll();
}

TEST(KEMLinkedList, WalkReadingNextBeforeRemovingVisitsEveryElement) {
    Node n[4] = {Node(0), Node(1), Node(2), Node(3)};
    KEMLinkedList<Node> list;
    for (auto& x : n)
        list.Append(&x);
    std::vector<int> seen;
    for (Node* it = list.GetHead(); it;) {
        Node* next = it->mNext;
        seen.push_back(it->id);
        if (it->id % 2 == 0)
            list.Remove(it);
        it = next;
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(Ids(list), (std::vector<int>{1, 3}));
    list.UnlinkAll();
}

TEST(KEMLinkedList, ClearDeletesEveryElement) {
    int before = Node::sLive;
    KEMLinkedList<Node> list;
    list.Append(new Node(1));
    list.Append(new Node(2));
    list.Append(new Node(3));
    list.Clear();
    EXPECT_EQ(Node::sLive, before);
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.GetHead(), nullptr);
    EXPECT_EQ(list.GetTail(), nullptr);
}

TEST(KEMLinkedList, DestructorDeletesOnlyWhenOwning) {
    int before = Node::sLive;
    Node* kept = new Node(1);
    {
        KEMLinkedList<Node> list;   // owns-items flag 0: frees nothing
        list.Append(kept);
    }
    EXPECT_EQ(Node::sLive, before + 1);
    kept->mPrev = kept->mNext = nullptr;
    {
        KEMLinkedList<Node> owning(true);
        owning.Append(kept);
        owning.Append(new Node(2));
        EXPECT_TRUE(owning.OwnsItems());
    }
    EXPECT_EQ(Node::sLive, before);
    {
        // Deleted through the base pointer (the virtual destructor).
        KEMLinkedList<Node>* p = new KEMLinkedList<Node>;
        p->SetOwnsItems(true);
        p->Append(new Node(3));
        delete p;
    }
    EXPECT_EQ(Node::sLive, before);
}

TEST(KEMLinkedList, PrependAndContains) {
    Node a(1), b(2);
    KEMLinkedList<Node> list;
    list.Append(&a);
    EXPECT_TRUE(list.Prepend(&b));
    EXPECT_EQ(Ids(list), (std::vector<int>{2, 1}));
    EXPECT_TRUE(list.Contains(&a));
    Node c(3);
    EXPECT_FALSE(list.Contains(&c));
    list.UnlinkAll();
    EXPECT_EQ(a.mPrev, nullptr);
    EXPECT_EQ(b.mNext, nullptr);
}

TEST(KEMLinkedList, CustomLinkNames) {
    Other x, y;
    KEMLinkedList<Other, OtherLinks> list;
    list.Append(&x);
    list.Append(&y);
    EXPECT_EQ(x.after, &y);
    EXPECT_EQ(y.before, &x);
    EXPECT_EQ((KEMLinkedList<Other, OtherLinks>::Next(&x)), &y);
    list.Remove(&x);
    EXPECT_EQ(list.GetHead(), &y);
    EXPECT_EQ(x.after, nullptr);
    list.UnlinkAll();
}
