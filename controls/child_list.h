// ChildList: the ordered children of a control group, front (topmost) first.
//
// Contract: the list owns its children; erasing an entry destroys its child. A child added while
// focusable gets the next tab number (1, 2, 3, ...
// in the order of adding), any other child 0. Hit testing walks from the front, drawing and
// broadcasts from the back. Indexes are positions from the front; lookups of an absent child
// answer "not found" rather than failing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "controls/control.h"

struct ChildEntry {
  std::unique_ptr<Control> owned;
  int32_t tab;

  Control* child() const { return owned.get(); }
};

class ChildList {
 public:
  static constexpr size_t npos = static_cast<size_t>(-1);

  // Returns false when the entry could not be stored (out of memory); the child is then
  // destroyed.
  bool append(std::unique_ptr<Control> child);
  // Takes the child out of the list and hands it over.
  std::unique_ptr<Control> takeAt(size_t index);
  void moveToFront(size_t index);
  size_t indexOf(const Control* child) const;

  size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  const ChildEntry& operator[](size_t index) const { return entries_[index]; }

  int32_t maxTab() const;
  int32_t tabOf(const Control* child) const;

 private:
  std::vector<ChildEntry> entries_;
};
