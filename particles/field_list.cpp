// FieldList: inline storage for the first entries, the heap beyond them.
#include "particles/field_list.h"

#include <algorithm>

FieldList::FieldList(const FieldList& other)
{
    for (ForceField* field : other) {
        push_back(field);
    }
}

FieldList& FieldList::operator=(const FieldList& other)
{
    if (this != &other) {
        clear();
        for (ForceField* field : other) {
            push_back(field);
        }
    }
    return *this;
}

FieldList::~FieldList()
{
    releaseHeap();
}

void FieldList::push_back(ForceField* field)
{
    if (count == capacity) {
        ForceField** grown = new ForceField*[capacity * 2];
        std::copy(items, items + count, grown);
        releaseHeap();
        items = grown;
        capacity *= 2;
    }
    items[count++] = field;
}

void FieldList::releaseHeap()
{
    if (items != inlineItems) {
        delete[] items;
    }
}
