// In-process figures: FindPattern and ReplaceAll for each rule on the text that rule really sees,
// the whole table at three sizes, and the scan's worst case (near-misses of the longest pattern).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/header_generator.h"
#include "check/header_check.h"
#include "check/lexer.h"
#include "text/text_replacer.h"
#include "wrap/rewrite_rules.h"

namespace {

using protowrap::kRewriteRules;
using protowrap::TextReplacer;

constexpr int kRuleCount = 14;

char* Block(const std::string& s) {
  auto* block = static_cast<char*>(std::malloc(s.size() + 1));
  std::memcpy(block, s.data(), s.size() + 1);
  return block;
}

// stages[i] is the 1 MiB header as rule i + 1 receives it.
const std::vector<std::string>& Stages() {
  static const std::vector<std::string> stages = [] {
    std::vector<std::string> texts{protowrap::bench::GenerateHeader("CG", 1 << 20, true)};
    const TextReplacer replacer;
    for (int i = 0; i < kRuleCount - 1; ++i) {
      const std::string& text = texts.back();
      char* out =
          replacer.ReplaceAll(text.c_str(), kRewriteRules[i].pattern, kRewriteRules[i].replacement);
      texts.emplace_back(out);
      if (out != text.c_str()) {
        std::free(out);
      }
    }
    return texts;
  }();
  return stages;
}

void FindPatternPerRule(benchmark::State& state) {
  const int rule = static_cast<int>(state.range(0));
  const std::string& text = Stages()[static_cast<std::size_t>(rule)];
  const char* pattern = kRewriteRules[rule].pattern;
  const auto patternLength = static_cast<std::int32_t>(std::strlen(pattern));
  const auto length = static_cast<std::int32_t>(text.size());
  const TextReplacer replacer;
  std::int64_t matches = 0;
  for (auto _ : state) {
    matches = 0;
    for (std::int32_t p = replacer.FindPattern(text.data(), length, pattern, patternLength, 0);
         p >= 0;
         p = replacer.FindPattern(text.data(), length, pattern, patternLength, p + patternLength)) {
      ++matches;
    }
    benchmark::DoNotOptimize(matches);
  }
  state.SetLabel(pattern);
  state.counters["matches"] = static_cast<double>(matches);
  state.SetBytesProcessed(state.iterations() * length);
}
BENCHMARK(FindPatternPerRule)->DenseRange(0, kRuleCount - 1);

void ReplaceAllPerRule(benchmark::State& state) {
  const int rule = static_cast<int>(state.range(0));
  const std::string& text = Stages()[static_cast<std::size_t>(rule)];
  const TextReplacer replacer;
  for (auto _ : state) {
    char* out = replacer.ReplaceAll(text.c_str(), kRewriteRules[rule].pattern,
                                    kRewriteRules[rule].replacement);
    benchmark::DoNotOptimize(out);
    if (out != text.c_str()) {
      std::free(out);
    }
  }
  state.SetLabel(kRewriteRules[rule].pattern);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(ReplaceAllPerRule)->DenseRange(0, kRuleCount - 1);

// The whole conversion in memory: a fresh copy of the input (as the read makes), then all rules.
void WholeTable(benchmark::State& state) {
  const std::string header =
      protowrap::bench::GenerateHeader("CG", static_cast<std::size_t>(state.range(0)), true);
  for (auto _ : state) {
    char* out = protowrap::ApplyRewriteRules(Block(header));
    benchmark::DoNotOptimize(out);
    std::free(out);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(header.size()));
}
BENCHMARK(WholeTable)->Arg(200 << 10)->Arg(1 << 20)->Arg(64 << 20)->Unit(benchmark::kMillisecond);

// What the whole table writes for a generated header of `size` bytes.
struct WrapHeader {
  explicit WrapHeader(std::int64_t size)
      : text(protowrap::ApplyRewriteRules(
            Block(protowrap::bench::GenerateHeader("CG", static_cast<std::size_t>(size), true)))),
        length(static_cast<std::int32_t>(std::strlen(text))) {}
  WrapHeader(const WrapHeader&) = delete;
  WrapHeader& operator=(const WrapHeader&) = delete;
  ~WrapHeader() { std::free(text); }

  char* text;
  std::int32_t length;
};

// The header check on what the whole table wrote, at the same sizes, as every run makes it (a
// header with warnings is then read again to place the first of them).
void HeaderCheck(benchmark::State& state) {
  const WrapHeader wrap(state.range(0));
  std::int64_t warnings = 0;
  for (auto _ : state) {
    protowrap::check::WarningReport report;
    protowrap::check::CheckWrapHeader(wrap.text, wrap.length, &report);
    warnings = report.Count();
    benchmark::DoNotOptimize(warnings);
  }
  state.counters["warnings"] = static_cast<double>(warnings);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * wrap.length);
}
BENCHMARK(HeaderCheck)->Arg(200 << 10)->Arg(1 << 20)->Arg(64 << 20)->Unit(benchmark::kMillisecond);

// The check's lexer alone on what the whole table wrote: every token, as the parser would take
// them if it read no entry straight from the text.
void CheckLexer(benchmark::State& state) {
  const WrapHeader wrap(state.range(0));
  std::int64_t tokens = 0;
  for (auto _ : state) {
    protowrap::check::Lexer lexer(wrap.text, wrap.length);
    tokens = 0;
    while (lexer.Next().kind != protowrap::check::TokenKind::kEnd) {
      ++tokens;
    }
    benchmark::DoNotOptimize(tokens);
  }
  state.counters["tokens"] = static_cast<double>(tokens);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * wrap.length);
}
BENCHMARK(CheckLexer)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

// Near-misses of the longest pattern, back to back: each agrees with it on its first, second and
// last bytes (so the vector filter passes it) and differs only in the middle, so every one of
// them costs a full comparison.
void WorstCaseScan(benchmark::State& state) {
  const char* pattern = kRewriteRules[2].pattern;  // "enum eMAKE_PROTOCOL_INFO("
  std::string miss = pattern;
  miss[miss.size() - 2] = '_';
  std::string text;
  while (text.size() < static_cast<std::size_t>(state.range(0))) {
    text += miss;
  }
  const TextReplacer replacer;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        replacer.FindPattern(text.data(), static_cast<std::int32_t>(text.size()), pattern,
                             static_cast<std::int32_t>(std::strlen(pattern)), 0));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(WorstCaseScan)->Arg(1 << 20)->Arg(64 << 20)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
