#include "dsp/kvt/CPointerList.h"

#include <new>

namespace KVT {

void CPointerList::CArray::Clear() {
    delete[] pointers;
    pointers = nullptr;
    count = 0;
}

void** CPointerList::CArray::Alloc(int n) {
    Clear();
    if (n <= 0) return nullptr;
    pointers = new (std::nothrow) void*[n]();
    if (pointers) count = n;
    return pointers;
}

CPointerList::Item* CPointerList::_Next() {
    Item* item = current;
    if (current) current = current->next;
    return item;
}

void* CPointerList::Next() {
    Item* item = _Next();
    return item ? item->data : nullptr;
}

int CPointerList::operator=(CPointerList& other) {
    Clear();
    other.Rewind();
    while (void* p = other.Next()) Push(p);
    return 0;
}

void CPointerList::Assign(CPointerList& other) {
    *this = other;
    other.Clear();
}

void CPointerList::Clear() {
    for (Item* item = first; item;) {
        Item* next = item->next;
        delete item;
        item = next;
    }
    first = last = current = nullptr;
    count = 0;
}

void CPointerList::Push(void* p) {
    if (!p) return;
    Item* item = new (std::nothrow) Item;
    if (!item) return;
    item->data = p;
    item->prev = last;
    if (last)
        last->next = item;
    else
        first = item;
    last = item;
    current = item;
    count++;
}

void* CPointerList::Pop() {
    if (count == 0) return nullptr;
    Item* item = last;
    void* p = item->data;
    last = item->prev;
    if (last)
        last->next = nullptr;
    else
        first = nullptr;
    current = last;
    delete item;
    count--;
    return p;
}

void CPointerList::unlink(Item* item) {
    (item->prev ? item->prev->next : first) = item->next;
    (item->next ? item->next->prev : last) = item->prev;
    delete item;
    count--;
}

void CPointerList::Delete(void* p) {
    if (!p) return;
    Rewind();
    while (Item* item = _Next()) {
        if (item->data == p) {
            unlink(item);
            return;
        }
    }
}

CPointerList::Item* CPointerList::walkTo(int i) {
    if (count == 0 || i < 0 || static_cast<uint32_t>(i) >= count) return nullptr;
    Rewind();
    Item* item = _Next();
    while (i-- > 0) item = _Next();
    return item;
}

void CPointerList::Delete(int i) {
    if (Item* item = walkTo(i)) unlink(item);
}

void* CPointerList::At(int i) {
    Item* item = walkTo(i);
    return item ? item->data : nullptr;
}

void** CPointerList::BeginArrayOperation() {
    if (count == 0) return nullptr;
    void** slots = array.Alloc(static_cast<int>(count));
    if (!slots) return nullptr;
    int k = 0;
    for (Item* item = first; item; item = item->next) slots[k++] = item->data;
    Clear();
    return slots;
}

void CPointerList::EndArrayOperation() {
    if (!array.pointers || array.count == 0) return;
    Clear();
    for (int k = 0; k < array.count; k++) Push(array.pointers[k]);
    array.Clear();
}

} // namespace KVT
