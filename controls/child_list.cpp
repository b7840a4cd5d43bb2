#include "controls/child_list.h"

#include <algorithm>
#include <new>
#include <utility>

bool ChildList::append(std::unique_ptr<Control> child) {
  const int32_t tab = child->flags.focusable ? maxTab() + 1 : 0;
  try {
    entries_.push_back({std::move(child), tab});
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

std::unique_ptr<Control> ChildList::takeAt(size_t index) {
  std::unique_ptr<Control> child = std::move(entries_[index].owned);
  entries_.erase(entries_.begin() + index);
  return child;
}

void ChildList::moveToFront(size_t index) {
  std::rotate(entries_.begin(), entries_.begin() + index, entries_.begin() + index + 1);
}

size_t ChildList::indexOf(const Control* child) const {
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].child() == child) return i;
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
