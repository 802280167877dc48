// The engine's two list kinds:
//
// - CKEMListItem<T> cells held by a CKEMList<T> ("engine list": count, cursor
//   index, cursor cell, head cell, tail cell). A cell points at a value it
//   never owns; DeleteItems() deletes the cells through their virtual
//   destructor and leaves the values alone.
//
// - KEMLinkedList<T>, the intrusive doubly linked list: the elements carry
//   their own previous/next links (derive from KEMLinkedNode<T>, or give T the
//   members mPrev and mNext, or specialise KEMLinkedListLinks<T>). The list
//   deletes its elements on destruction only when its owns-items flag is set.
#pragma once

#include <cstddef>

// ============================================================================
// Cell list
// ============================================================================

template <class T> class CKEMList;

template <class T>
class CKEMListItem {
public:
    explicit CKEMListItem(T* value = nullptr) : mValue(value) {}
    // The one virtual operation: the deleting destructor. It does not delete
    // the value.
    virtual ~CKEMListItem() {}

    CKEMListItem(const CKEMListItem&) = delete;
    CKEMListItem& operator=(const CKEMListItem&) = delete;

    T* GetValue() const { return mValue; }
    CKEMListItem* GetPrev() const { return mPrev; }
    CKEMListItem* GetNext() const { return mNext; }

    // Appends a cell for the value at the tail of the list; nothing (null)
    // for a null list or value.
    static CKEMListItem* Create(CKEMList<T>* list, T* value) {
        if (!list || !value)
            return nullptr;
        return list->AppendItem(value);
    }

    T* mValue = nullptr;
    CKEMListItem* mPrev = nullptr;
    CKEMListItem* mNext = nullptr;
};

// Deletes every cell from the head on (the values stay) and leaves the list
// empty: count 0, no cursor (index -1), head and tail null.
template <class T>
void DeleteItems(CKEMList<T>& list);

template <class T>
class CKEMList {
public:
    typedef CKEMListItem<T> Item;

    CKEMList() = default;
    ~CKEMList() { DeleteItems(*this); }
    CKEMList(const CKEMList&) = delete;
    CKEMList& operator=(const CKEMList&) = delete;

    int GetCount() const { return mCount; }
    bool IsEmpty() const { return mCount == 0; }
    Item* GetHead() const { return mHead; }
    Item* GetTail() const { return mTail; }
    int GetCursorIndex() const { return mCursorIndex; }

    // Appends a cell for the value at the tail: 0, or -1 for a null value.
    int Append(T* value) { return AppendItem(value) ? 0 : -1; }

    // The cell created for the value (null for a null value).
    Item* AppendItem(T* value) {
        if (!value)
            return nullptr;
        Item* item = new Item(value);
        item->mPrev = mTail;
        item->mNext = nullptr;
        if (mTail)
            mTail->mNext = item;
        else
            mHead = item;
        mTail = item;
        ++mCount;
        return item;
    }

    // The first cell holding the value, or null.
    Item* FindItem(const T* value) const {
        for (Item* it = mHead; it; it = it->mNext)
            if (it->mValue == value)
                return it;
        return nullptr;
    }

    // Index of the first cell holding the value, or -1.
    int IndexOf(const T* value) const {
        int i = 0;
        for (Item* it = mHead; it; it = it->mNext, ++i)
            if (it->mValue == value)
                return i;
        return -1;
    }

    bool Contains(const T* value) const { return FindItem(value) != nullptr; }

    // Unlinks and deletes the cell of the value (not the value): 0, or -1 for
    // a null value or an empty list. A value that is not in the list changes
    // nothing (0). A cursor on the removed cell moves to the following cell.
    int Remove(const T* value) {
        if (!value || mCount == 0 || !mHead)
            return -1;
        Item* item = FindItem(value);
        if (item)
            RemoveItem(item);
        return 0;
    }

    // Removes the cursor's cell (not its value): 0, or -1 without a cursor.
    int RemoveCurrent() {
        if (!mCursor)
            return -1;
        RemoveItem(mCursor);
        return 0;
    }

    // Cursor iteration.
    T* First() {
        mCursor = mHead;
        mCursorIndex = mCursor ? 0 : -1;
        return mCursor ? mCursor->mValue : nullptr;
    }
    T* Last() {
        mCursor = mTail;
        mCursorIndex = mCursor ? mCount - 1 : -1;
        return mCursor ? mCursor->mValue : nullptr;
    }
    // Past the tail: no cursor, index -1, null.
    T* Next() {
        if (!mCursor)
            return nullptr;
        mCursor = mCursor->mNext;
        mCursorIndex = mCursor ? mCursorIndex + 1 : -1;
        return mCursor ? mCursor->mValue : nullptr;
    }
    T* Prev() {
        if (!mCursor)
            return nullptr;
        mCursor = mCursor->mPrev;
        mCursorIndex = mCursor ? mCursorIndex - 1 : -1;
        return mCursor ? mCursor->mValue : nullptr;
    }
    T* Current() const { return mCursor ? mCursor->mValue : nullptr; }

    // The value at an index, walking from the cursor (from the head without a
    // cursor) and leaving the cursor on the cell found. Null for an index
    // below 0 or past the last cell; the cursor is then unchanged.
    T* GetAt(int index) {
        if (index < 0 || index >= mCount)
            return nullptr;
        Item* it = mCursor;
        int at = mCursorIndex;
        if (!it || at < 0) {
            it = mHead;
            at = 0;
        }
        while (it && at < index) {
            it = it->mNext;
            ++at;
        }
        while (it && at > index) {
            it = it->mPrev;
            --at;
        }
        if (!it)
            return nullptr;
        mCursor = it;
        mCursorIndex = index;
        return it->mValue;
    }

    // Deletes every cell (the values stay).
    void Clear() { DeleteItems(*this); }

    // Deletes every value with delete, then every cell. For lists that own
    // their values.
    void DeleteValuesAndItems() {
        for (Item* it = mHead; it; it = it->mNext) {
            delete it->mValue;
            it->mValue = nullptr;
        }
        DeleteItems(*this);
    }

    // Unlinks a cell of this list and deletes it.
    void RemoveItem(Item* item) {
        if (!item)
            return;
        if (mCursor == item) {
            mCursor = item->mNext;   // the following cell takes the same index
            if (!mCursor)
                mCursorIndex = -1;
        } else if (mCursor && mCursorIndex > 0 && IsBeforeCursor(item)) {
            --mCursorIndex;
        }
        if (item->mPrev)
            item->mPrev->mNext = item->mNext;
        else
            mHead = item->mNext;
        if (item->mNext)
            item->mNext->mPrev = item->mPrev;
        else
            mTail = item->mPrev;
        item->mPrev = item->mNext = nullptr;
        --mCount;
        delete item;
    }

    // Count, cursor index, cursor, head, tail.
    int mCount = 0;
    int mCursorIndex = -1;
    Item* mCursor = nullptr;
    Item* mHead = nullptr;
    Item* mTail = nullptr;

private:
    bool IsBeforeCursor(const Item* item) const {
        for (const Item* it = mCursor ? mCursor->mPrev : nullptr; it; it = it->mPrev)
            if (it == item)
                return true;
        return false;
    }
};

template <class T>
void DeleteItems(CKEMList<T>& list) {
    CKEMListItem<T>* it = list.mHead;
    while (it) {
        CKEMListItem<T>* next = it->mNext;
        delete it;   // virtual deleting destructor; the value stays
        it = next;
    }
    list.mHead = list.mTail = list.mCursor = nullptr;
    list.mCount = 0;
    list.mCursorIndex = -1;
}

// ============================================================================
// Intrusive list
// ============================================================================

// Base that gives an element its links.
template <class T>
struct KEMLinkedNode {
    T* mPrev = nullptr;
    T* mNext = nullptr;
    T* GetPrev() const { return mPrev; }
    T* GetNext() const { return mNext; }
};

// How the list reaches an element's links; specialise for a type whose links
// are named otherwise.
template <class T>
struct KEMLinkedListLinks {
    static T*& Prev(T* item) { return item->mPrev; }
    static T*& Next(T* item) { return item->mNext; }
};

template <class T, class Links = KEMLinkedListLinks<T>>
class KEMLinkedList {
public:
    KEMLinkedList() = default;
    explicit KEMLinkedList(bool ownsItems) : mOwnsItems(ownsItems ? 1 : 0) {}
    // The one virtual operation: deletes every element first when the
    // owns-items flag is set; otherwise frees nothing.
    virtual ~KEMLinkedList() {
        if (mOwnsItems)
            Clear();
    }
    KEMLinkedList(const KEMLinkedList&) = delete;
    KEMLinkedList& operator=(const KEMLinkedList&) = delete;

    T* GetHead() const { return mHead; }
    T* GetTail() const { return mTail; }
    int GetCount() const { return int(mCount); }
    bool IsEmpty() const { return mCount == 0; }
    bool OwnsItems() const { return mOwnsItems != 0; }
    void SetOwnsItems(bool owns) { mOwnsItems = owns ? 1 : 0; }

    static T* Next(T* item) { return item ? Links::Next(item) : nullptr; }
    static T* Prev(T* item) { return item ? Links::Prev(item) : nullptr; }

    // Appends at the tail (previous = old tail, next = null, count + 1).
    // False for a null element or one that is already linked in this list.
    bool Append(T* item) {
        if (!item || item == mHead || Links::Prev(item) || Links::Next(item))
            return false;
        Links::Prev(item) = mTail;
        Links::Next(item) = nullptr;
        if (mTail)
            Links::Next(mTail) = item;
        else
            mHead = item;
        mTail = item;
        ++mCount;
        return true;
    }

    // Inserts at the head. Same refusals as Append.
    bool Prepend(T* item) {
        if (!item || item == mHead || Links::Prev(item) || Links::Next(item))
            return false;
        Links::Prev(item) = nullptr;
        Links::Next(item) = mHead;
        if (mHead)
            Links::Prev(mHead) = item;
        else
            mTail = item;
        mHead = item;
        ++mCount;
        return true;
    }

    // Unlinks one element (head, tail or middle): its links become null and
    // the count drops by one. False for null or an element that is visibly
    // not in this list (no previous link and not the head).
    bool Remove(T* item) {
        if (!item || mCount == 0)
            return false;
        T* prev = Links::Prev(item);
        T* next = Links::Next(item);
        if (!prev && mHead != item)
            return false;
        if (!next && mTail != item)
            return false;
        if (prev)
            Links::Next(prev) = next;
        else
            mHead = next;
        if (next)
            Links::Prev(next) = prev;
        else
            mTail = prev;
        Links::Prev(item) = nullptr;
        Links::Next(item) = nullptr;
        --mCount;
        return true;
    }

    bool Contains(const T* item) const {
        for (T* it = mHead; it; it = Links::Next(it))
            if (it == item)
                return true;
        return false;
    }

    // Deletes every element from the head to the tail (each unlinked first)
    // and leaves the list empty: head, tail null, count 0.
    void Clear() {
        T* it = mHead;
        while (it) {
            T* next = Links::Next(it);
            Links::Prev(it) = nullptr;
            Links::Next(it) = nullptr;
            delete it;
            it = next;
        }
        mHead = mTail = nullptr;
        mCount = 0;
    }
    void DeleteAll() { Clear(); }

    // Unlinks every element without deleting any.
    void UnlinkAll() {
        T* it = mHead;
        while (it) {
            T* next = Links::Next(it);
            Links::Prev(it) = nullptr;
            Links::Next(it) = nullptr;
            it = next;
        }
        mHead = mTail = nullptr;
        mCount = 0;
    }

    // Head, tail, count, owns-items flag.
    T* mHead = nullptr;
    T* mTail = nullptr;
    unsigned int mCount = 0;
    unsigned char mOwnsItems = 0;
};
