#include "check/macro_table.h"

namespace protowrap::check {

std::uint64_t HashOf(std::string_view text) {
  std::uint64_t hash = 0xcbf29ce484222325ull;
  for (const char c : text) {
    hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ull;
  }
  return hash;
}

std::size_t MacroTable::Probe(std::string_view name, std::uint64_t hash) const {
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
    const Slot& slot = slots_[at];
    if (slot.nameLength == 0 || (slot.hash == hash && std::string_view(names_).substr(
                                                          slot.nameAt, slot.nameLength) == name)) {
      return at;
    }
  }
}

bool MacroTable::Grow() {
  const std::size_t size = slots_.empty() ? 16 : slots_.size() * 2;
  if (size * sizeof(Slot) + names_.size() > limit_ && !slots_.empty()) {
    return false;
  }
  std::vector<Slot> old(size);
  old.swap(slots_);
  for (const Slot& slot : old) {
    if (slot.nameLength != 0) {
      slots_[Probe(std::string_view(names_).substr(slot.nameAt, slot.nameLength), slot.hash)] =
          slot;
    }
  }
  return true;
}

void MacroTable::Set(std::string_view name, std::int32_t state, ConfigurationSet holds,
                     ConfigurationSet mayHold) {
  if (name.empty() || mayHold == 0) {
    return;
  }
  const std::uint64_t hash = HashOf(name);
  if (slots_.empty() && !Grow()) {
    full_ = true;
    return;
  }
  std::size_t at = Probe(name, hash);
  if (slots_[at].nameLength == 0) {
    if ((used_ + 1) * 4 > slots_.size() * 3 || names_.size() + name.size() > limit_) {
      if (names_.size() + name.size() > limit_ || !Grow()) {
        full_ = true;
        return;
      }
      at = Probe(name, hash);
    }
    Slot& slot = slots_[at];
    slot.hash = hash;
    slot.nameAt = static_cast<std::uint32_t>(names_.size());
    slot.nameLength = static_cast<std::uint32_t>(name.size());
    names_.append(name);
    for (std::int32_t& s : slot.states) {
      s = kNotSeen;
    }
    ++used_;
  }
  Slot& slot = slots_[at];
  for (int c = 0; c < kConfigurationCount; ++c) {
    if ((holds & Only(c)) != 0) {
      slot.states[c] = state;
    } else if ((mayHold & Only(c)) != 0) {
      slot.states[c] = kUnknown;
    }
  }
}

const std::int32_t* MacroTable::Find(std::string_view name) const {
  if (slots_.empty()) {
    return nullptr;
  }
  const Slot& slot = slots_[Probe(name, HashOf(name))];
  return slot.nameLength == 0 ? nullptr : slot.states;
}

}  // namespace protowrap::check
