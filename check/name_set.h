// A set of names (views of texts that outlive it), in one flat table: 16 bytes a slot, at most
// half of them used.
#pragma once

#include <cstring>
#include <string_view>
#include <vector>

#include "check/hash_probe.h"

namespace protowrap::check {

/// Names, by open addressing over their FNV-1a hashes; exact (names are compared whole).
class NameSet {
 public:
  /// Adds `name` (which must outlive the set); false when it was there already.
  bool Insert(std::string_view name) {
    if ((used_ + 1) * 2 > slots_.size()) {
      Grow();
    }
    std::string_view& slot = slots_[Probe(name)];
    if (slot.data() != nullptr) {
      return false;
    }
    slot = name.empty() ? std::string_view("", 0) : name;
    ++used_;
    return true;
  }

  bool Contains(std::string_view name) const {
    return !slots_.empty() && slots_[Probe(name)].data() != nullptr;
  }

  std::size_t Size() const { return used_; }

 private:
  std::size_t Probe(std::string_view name) const {
    return check::Probe(HashOf(name), slots_.size(), [&](std::size_t at) {
      return slots_[at].data() == nullptr || slots_[at] == name;
    });
  }

  void Grow() {
    std::vector<std::string_view> old(slots_.empty() ? 16 : slots_.size() * 2);
    old.swap(slots_);
    for (const std::string_view name : old) {
      if (name.data() != nullptr) {
        slots_[Probe(name)] = name;
      }
    }
  }

  std::vector<std::string_view> slots_;  // a null view: an empty slot
  std::size_t used_ = 0;
};

}  // namespace protowrap::check
