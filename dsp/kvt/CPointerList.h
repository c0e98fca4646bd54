#pragma once
// Doubly linked list of untyped pointers with a built-in cursor, stack
// operations at its tail, and an array form for in-place work. The list owns
// its nodes, never the objects behind the pointers.
// Thread rules: the cursor makes even reading a change of state, so one list
// is used by one thread at a time.
#include <cstdint>

namespace KVT {

class CPointerList {
public:
    struct Item {
        void* data = nullptr;
        Item* prev = nullptr;
        Item* next = nullptr;
    };

    class CArray {
    public:
        CArray() = default;
        virtual ~CArray() { Clear(); }
        CArray(const CArray&) = delete;
        CArray& operator=(const CArray&) = delete;

        virtual void Clear();
        // Clears, then holds n slots (none for n <= 0 or when memory runs out).
        virtual void** Alloc(int n);

        int32_t count = 0;
        void** pointers = nullptr;
    };

    CPointerList() = default;
    virtual ~CPointerList() { Clear(); }
    CPointerList(const CPointerList&) = delete;

    virtual Item* _Next();
    // Clears, then appends other's pointers. Assigning a list to itself
    // empties it, and callers rely on that.
    virtual int operator=(CPointerList& other);
    // Moves other's pointers here, leaving other empty.
    virtual void Assign(CPointerList& other);
    virtual uint32_t Count() { return count; }
    virtual void Clear();
    virtual void Add(void* p) { Push(p); }
    virtual void Push(void* p);
    virtual void* Pop();
    virtual void Delete(void* p);
    virtual void Delete(int i);
    virtual void* At(int i);
    virtual void* operator[](int i) { return At(i); }
    virtual void* First() { return first ? first->data : nullptr; }
    virtual void* Last() { return last ? last->data : nullptr; }
    virtual void* Next();
    virtual void* Current() { return current ? current->data : nullptr; }
    virtual void Rewind() { current = first; }
    // Moves the pointers into a flat array (the list is then empty) for
    // reordering or dropping (set a slot to null); none for an empty list, and
    // the list is left as it was when the array cannot be allocated.
    virtual void** BeginArrayOperation();
    // Rebuilds the list from the array's non-null slots, in slot order.
    virtual void EndArrayOperation();

private:
    void unlink(Item* item);
    Item* walkTo(int i);

    CArray array;
    Item* first = nullptr;
    Item* last = nullptr;
    Item* current = nullptr;
    uint32_t count = 0;
};

} // namespace KVT
