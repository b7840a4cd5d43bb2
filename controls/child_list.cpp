#include "controls/child_list.h"

#include <algorithm>
#include <new>

bool ChildList::append(Control* child, bool focusable) {
    try {
        entries_.push_back({child, focusable ? maxTab() + 1 : 0});
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

void ChildList::eraseAt(size_t index) { entries_.erase(entries_.begin() + index); }

void ChildList::moveToFront(size_t index) {
    std::rotate(entries_.begin(), entries_.begin() + index, entries_.begin() + index + 1);
}

size_t ChildList::indexOf(const Control* child) const {
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].child == child) return i;
    }
    return npos;
}

int32_t ChildList::maxTab() const {
    int32_t largest = 0;
    for (const ChildEntry& e : entries_) largest = std::max(largest, e.tab);
    return largest;
}

int32_t ChildList::tabOf(const Control* child) const {
    const size_t i = indexOf(child);
    return i == npos ? 0 : entries_[i].tab;
}
