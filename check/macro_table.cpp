// The table of the header's macros, per configuration, in bounded memory.
#include "check/macro_table.h"

#include <cstring>

#include "check/char_class.h"

namespace protowrap::check {

namespace {

constexpr std::size_t kBlockSize = 4096;

std::string_view TrimmedBlanks(std::string_view text) {
  while (!text.empty() && IsBlankOrLineEnd(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && IsBlankOrLineEnd(text.back())) {
    text.remove_suffix(1);
  }
  return text;
}

// The identifier at the start of `text` (empty when there is none).
std::string_view IdentifierAt(std::string_view text) {
  std::size_t end = 0;
  while (end < text.size() && IsIdentifierByte(text[end])) {
    ++end;
  }
  return end > 0 && !IsDigit(text[0]) ? text.substr(0, end) : std::string_view{};
}

}  // namespace

std::string_view MacroTable::Keep(std::string_view text) {
  if (text.empty()) {
    return text;
  }
  if (bytes_ + text.size() > limit_) {
    full_ = true;
    return {};
  }
  if (text.size() > blockLeft_) {
    // A new block: what the last one had left is lost, at most the size of one text.
    const std::size_t size = text.size() > kBlockSize ? text.size() : kBlockSize;
    blocks_.push_back(std::make_unique<char[]>(size));
    bytes_ += blockLeft_ + sizeof(void*);
    blockEnd_ = blocks_.back().get() + size;
    blockLeft_ = size;
  }
  bytes_ += text.size();
  char* at = blockEnd_ - blockLeft_;
  std::memcpy(at, text.data(), text.size());
  blockLeft_ -= text.size();
  return {at, text.size()};
}

std::int32_t MacroTable::Define(std::string_view text, std::string_view* name) {
  text = TrimmedBlanks(text);
  const std::string_view spelled = IdentifierAt(text);
  *name = {};
  if (spelled.empty()) {
    return kUnknown;
  }
  MacroDefinition definition;
  std::string_view rest = text.substr(spelled.size());
  if (!rest.empty() && rest.front() == '(') {
    definition.function = true;
    const std::size_t close = rest.find(')');
    if (close == std::string_view::npos) {
      return kUnknown;  // no C++: the header does not compile there anyway
    }
    std::string_view list = rest.substr(1, close - 1);
    while (!(list = TrimmedBlanks(list)).empty()) {
      const std::string_view parameter = IdentifierAt(list);
      if (!parameter.empty()) {
        definition.parameters =
            static_cast<std::uint16_t>(definition.parameters + (definition.parameters < 0xFFFF));
        list.remove_prefix(parameter.size());
        list = TrimmedBlanks(list);
      }
      if (list == "...") {
        definition.variadic = true;  // the last, in C++
        break;
      }
      if (list.empty() || list.front() != ',') {
        break;
      }
      list.remove_prefix(1);
    }
    rest = rest.substr(close + 1);
  }
  if (definitions_.size() >= kMaxDefinitions) {
    // Not reached with the check's limit: the bytes each definition counts run out first.
    full_ = true;
    return kUnknown;
  }
  *name = Keep(spelled);
  definition.body = Keep(TrimmedBlanks(rest));
  if (full_) {
    *name = {};
    return kUnknown;
  }
  bytes_ += sizeof(MacroDefinition);
  definitions_.push_back(definition);
  return static_cast<std::int32_t>(definitions_.size() - 1);
}

std::size_t MacroTable::Probe(std::string_view name, std::uint64_t hash) const {
  return check::Probe(hash, slots_.size(), [&](std::size_t at) {
    const Slot& slot = slots_[at];
    return slot.name == nullptr ||
           (slot.length == name.size() && std::memcmp(slot.name, name.data(), name.size()) == 0);
  });
}

bool MacroTable::Grow() {
  const std::size_t size = slots_.empty() ? 16 : slots_.size() * 2;
  const std::size_t more = (size - slots_.size()) * sizeof(Slot);
  if (bytes_ + more > limit_ && !slots_.empty()) {
    return false;
  }
  std::vector<Slot> old(size);
  old.swap(slots_);
  bytes_ += more;
  for (const Slot& slot : old) {
    if (slot.name != nullptr) {
      const std::string_view name(slot.name, slot.length);
      slots_[Probe(name, HashOf(name))] = slot;
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
  if (slots_.empty()) {
    Grow();  // the first slots are always had
  }
  std::size_t at = Probe(name, hash);
  if (slots_[at].name == nullptr) {
    if ((used_ + 1) * 4 > slots_.size() * 3 && !Grow()) {
      full_ = true;
      return;
    }
    const std::string_view kept = Keep(name);
    if (kept.empty()) {
      return;
    }
    at = Probe(kept, hash);
    Slot& slot = slots_[at];
    slot.name = kept.data();
    slot.length = static_cast<std::uint32_t>(kept.size());
    slot.states = static_cast<std::uint32_t>(used_);
    if (used_ % kNamesPerBlock == 0) {
      states_.push_back(std::make_unique<std::int32_t[]>(kNamesPerBlock * stride_));
      bytes_ += kNamesPerBlock * stride_ * sizeof(std::int32_t);
    }
    std::int32_t* states = StatesOf(slot.states);
    for (std::size_t c = 0; c < stride_; ++c) {
      states[c] = kNotSeen;
    }
    ++used_;
  }
  std::int32_t* states = StatesOf(slots_[at].states);
  for (std::size_t c = 0; c < stride_; ++c) {
    if ((holds & Only(static_cast<int>(c))) != 0) {
      states[c] = state;
    } else if ((mayHold & Only(static_cast<int>(c))) != 0) {
      states[c] = kUnknown;
    }
  }
}

const std::int32_t* MacroTable::Find(std::string_view name) const {
  if (slots_.empty() || name.empty()) {
    return nullptr;
  }
  const Slot& slot = slots_[Probe(name, HashOf(name))];
  return slot.name == nullptr ? nullptr : StatesOf(slot.states);
}

}  // namespace protowrap::check
