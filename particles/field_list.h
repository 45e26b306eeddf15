// FieldList: a particle's ordered list of force-field pointers. Flakes carry two or three
// fields, so the first few entries live inside the particle itself: advancing a flake then reads
// no memory outside it, and cloning one allocates nothing for its list. Longer lists move to the
// heap and keep their order.
#pragma once

#include <cstddef>

class ForceField;

class FieldList {
public:
    FieldList() = default;
    FieldList(const FieldList& other);
    FieldList& operator=(const FieldList& other);
    ~FieldList();

    void push_back(ForceField* field);
    void clear() { count = 0; }

    std::size_t size() const { return count; }
    bool empty() const { return count == 0; }
    ForceField* operator[](std::size_t i) const { return items[i]; }
    ForceField* const* begin() const { return items; }
    ForceField* const* end() const { return items + count; }

private:
    static constexpr std::size_t inlineCapacity = 4;

    void releaseHeap();

    ForceField* inlineItems[inlineCapacity] = {};
    ForceField** items = inlineItems;
    std::size_t count = 0;
    std::size_t capacity = inlineCapacity;
};
