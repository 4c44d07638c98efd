#include "wrap/check/conditionals.h"

#include <unordered_map>

#include "wrap/check/lexer.h"

namespace protowrap::check {

namespace {

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
    text.remove_prefix(1);
  }
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
    text.remove_suffix(1);
  }
  return text;
}

// The first word of `text`: up to a blank or a comment.
std::string_view FirstWord(std::string_view text) {
  std::size_t end = 0;
  while (end < text.size() && text[end] != ' ' && text[end] != '\t' &&
         !(text[end] == '/' && end + 1 < text.size() &&
           (text[end + 1] == '/' || text[end + 1] == '*'))) {
    ++end;
  }
  return text.substr(0, end);
}

}  // namespace

void ConditionalBlocks::Directive(std::string_view text, std::int32_t offset) {
  (void)offset;
  std::string_view rest = TrimBlanks(text.substr(3));  // after "//#"
  std::size_t wordEnd = 0;
  while (wordEnd < rest.size() && IsIdentifierByte(rest[wordEnd])) {
    ++wordEnd;
  }
  const std::string_view word = rest.substr(0, wordEnd);
  const std::string_view condition = TrimBlanks(rest.substr(wordEnd));
  const std::string_view first = FirstWord(condition);

  if (!blocks_.empty() && !blocks_.back().guard.empty()) {
    // #ifndef X right before: a guard when this defines X.
    Block& block = blocks_.back();
    const bool guard = word == "define" && first == block.guard;
    block.guard = {};
    if (guard) {
      block.transparent = true;
      branches_.resize(block.firstBranch);
      --open_;
      return;
    }
  }

  const auto truthOf = [&](std::string_view what) {
    if (what == "0") {
      return Truth::kFalse;
    }
    if (what == "1" || what == "__cplusplus" || what == "defined(__cplusplus)" ||
        condition == "defined __cplusplus") {
      return Truth::kTrue;
    }
    return Truth::kUnknown;
  };
  if (word == "if") {
    Open(truthOf(first), {});
  } else if (word == "ifdef") {
    Open(first == "__cplusplus" ? Truth::kTrue : Truth::kUnknown, {});
  } else if (word == "ifndef") {
    Open(first == "__cplusplus" ? Truth::kFalse : Truth::kUnknown, first);
  } else if (word == "elif") {
    Branch(truthOf(first));
  } else if (word == "elifdef" || word == "elifndef") {
    Branch(Truth::kUnknown);
  } else if (word == "else") {
    Branch(Truth::kTrue);
  } else if (word == "endif") {
    Close();
  }
}

void ConditionalBlocks::Open(Truth truth, std::string_view guard) {
  Block block{branches_.size(), entries_.size(), guard, truth == Truth::kTrue && guard.empty()};
  if (!block.transparent) {
    branches_.push_back(truth);
    ++open_;
  }
  blocks_.push_back(block);
}

void ConditionalBlocks::Branch(Truth truth) {
  if (blocks_.empty()) {
    return;
  }
  Block& block = blocks_.back();
  block.guard = {};
  if (block.transparent) {
    // The first branch always held; its entries counted where the block stands.
    block.transparent = false;
    block.firstBranch = branches_.size();
    block.firstEntry = entries_.size();
    branches_.push_back(Truth::kTrue);
    ++open_;
  }
  branches_.push_back(truth);
}

void ConditionalBlocks::Close() {
  if (blocks_.empty()) {
    return;
  }
  const Block block = blocks_.back();
  blocks_.pop_back();
  if (block.transparent) {
    return;
  }
  --open_;
  // The branches that some configuration takes: each whose condition may hold, up to the first
  // that surely holds (an #else, or #if 1); without one, also none of them.
  std::int32_t possible = 0;
  bool none = true;
  std::vector<bool> taken(branches_.size() - block.firstBranch, false);
  for (std::size_t b = block.firstBranch; b < branches_.size(); ++b) {
    if (branches_[b] == Truth::kFalse) {
      continue;
    }
    taken[b - block.firstBranch] = true;
    ++possible;
    if (branches_[b] == Truth::kTrue) {
      none = false;
      break;
    }
  }
  // A name is safe when every branch that can be taken declares it.
  struct Count {
    std::int32_t branches = 0;
    std::int32_t last = -1;
    bool reported = false;
  };
  std::unordered_map<std::string_view, Count> counts;
  for (std::size_t e = block.firstEntry; e < entries_.size(); ++e) {
    Count& count = counts[entries_[e].name];
    const std::int32_t branch = entries_[e].branch;
    if (count.last != branch && taken[static_cast<std::size_t>(branch) - block.firstBranch]) {
      ++count.branches;
    }
    count.last = branch;
  }
  std::int32_t warnedBranch = -1;
  std::vector<Named> safe;
  for (std::size_t e = block.firstEntry; e < entries_.size(); ++e) {
    const Named& entry = entries_[e];
    Count& count = counts[entry.name];
    if (none || count.branches != possible) {
      if (warnedBranch != entry.branch) {
        sink_.Report(entry.offset, HeaderProblem::kConditional);
        warnedBranch = entry.branch;
      }
    } else if (!count.reported) {
      count.reported = true;  // handed on once
      safe.push_back(entry);
    }
  }
  entries_.resize(block.firstEntry);
  branches_.resize(block.firstBranch);
  if (open_ > 0) {
    // Declared whenever the enclosing branch is taken: an entry of that branch.
    for (Named& entry : safe) {
      entry.branch = static_cast<std::int32_t>(branches_.size()) - 1;
      entries_.push_back(entry);
    }
  }
}

void ConditionalBlocks::Entry(std::string_view name, std::int32_t offset) {
  if (open_ == 0) {
    return;
  }
  if (!blocks_.empty()) {
    blocks_.back().guard = {};  // entries between #ifndef X and #define X: not a guard
  }
  entries_.push_back({name, offset, static_cast<std::int32_t>(branches_.size()) - 1});
}

void ConditionalBlocks::Finish() {
  while (!blocks_.empty()) {
    Close();
  }
}

}  // namespace protowrap::check
