// What the replacer does when memory runs out, in a child process under an address-space limit.
#include <sys/mman.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/process.h"
#include "tests/limited_child.h"
#include "text/text_replacer.h"
#include "wrap/rewrite_rules.h"

namespace protowrap {
namespace {

using testing::InLimitedChild;
using ReplacerMemoryTest = testing::MemoryLimitTest;

TEST_F(ReplacerMemoryTest, AResultThatCannotBeAllocatedIsReportedNotCrashed) {
  // 1,000,000 matches of 1 byte, each becoming 2,000: a result of 2 GB, within the length limit
  // but not within 512 MiB of address space.
  const std::string text(1000000, 'a');
  const std::string replacement(2000, 'b');
  EXPECT_EQ(0, InLimitedChild(512u << 20, [&] {
              ReplaceStatus status = ReplaceStatus::kReplaced;
              const char* out = TextReplacer().ReplaceInBuffer(
                  text.data(), static_cast<std::int32_t>(text.size()), "a", 1, replacement.data(),
                  static_cast<std::int32_t>(replacement.size()), &status);
              return out == nullptr && status == ReplaceStatus::kNoMemory ? 0 : 1;
            }));
}

TEST_F(ReplacerMemoryTest, MatchPositionsThatCannotBeKeptAreReportedNotCrashed) {
  // 64 MiB of matches of one byte: 256 MiB of positions, which 96 MiB to spare cannot hold (the
  // result, as long as the text, would fit).
  const std::string text(64u << 20, 'a');
  EXPECT_EQ(0, testing::WithSpareAddressSpace(96u << 20, [&] {
              ReplaceStatus status = ReplaceStatus::kReplaced;
              const char* out = TextReplacer().ReplaceInBuffer(
                  text.data(), static_cast<std::int32_t>(text.size()), "a", 1, "b", 1, &status);
              return out == nullptr && status == ReplaceStatus::kNoMemory ? 0 : 1;
            }));
}

TEST_F(ReplacerMemoryTest, ReplacementsOneAfterAnotherHoldNoMoreThanOne) {
  // 100,000 matches keep their positions in several chunks: 200 replacements one after another
  // fit in 16 MiB to spare only if each releases all it took.
  const std::string text(100000, 'a');
  EXPECT_EQ(0, testing::WithSpareAddressSpace(16u << 20, [&] {
              for (int i = 0; i < 200; ++i) {
                char* out = TextReplacer().ReplaceInBuffer(
                    text.data(), static_cast<std::int32_t>(text.size()), "a", 1, "b", 1);
                if (out == nullptr) {
                  return 1;
                }
                std::free(out);
              }
              return 0;
            }));
}

TEST_F(ReplacerMemoryTest, TheRuleTableReleasesEverythingAndSaysWhy) {
  // 20 MiB of CG_ grows sevenfold under the first rule: 150 MB that 128 MiB cannot hold. Eight
  // failures one after another fit only if each releases the text it was given.
  std::string text;
  text.reserve(21 << 20);
  while (text.size() < (20u << 20)) {
    text += "CG_";
  }
  EXPECT_EQ(
      0, InLimitedChild(128u << 20, [&] {
        for (int i = 0; i < 8; ++i) {
          auto* block = static_cast<char*>(std::malloc(text.size() + 1));
          if (block == nullptr) {
            return 2;
          }
          std::memcpy(block, text.c_str(), text.size() + 1);
          ReplaceStatus status = ReplaceStatus::kReplaced;
          if (ApplyRewriteRules(block, &status) != nullptr || status != ReplaceStatus::kNoMemory) {
            return 1;
          }
        }
        return 0;
      }));
}

TEST_F(ReplacerMemoryTest, TheRuleTableHoldsNoMoreThanItsInputAndTwoTexts) {
  // Enumerations, which most of the rules rewrite, growing them by three quarters: 16 MiB once
  // (texts with mappings of their own) and 2 MiB eight times (texts on the heap). At any moment
  // the table holds the input, the current text and the one being written: about 61 MiB at
  // 16 MiB. Blocks that rules' results supersede and that are never released would add up to
  // some 200 MiB in the first run, and some 25 MiB in each of the others.
  const std::string unit =
      "// Login codes (requests, answers).\n#include \"common.h\"\n"
      "enum eCG_LOGIN_PROTOCOL\n{\n\tCG_LOGIN_REQ = 0x0100,\n\tCG_LOGIN_ACK,\n"
      "\tCG_LOGIN_NAK,\n};\n";
  std::string text;
  while (text.size() < (16u << 20)) {
    text += unit;
  }
  EXPECT_EQ(0, testing::WithSpareAddressSpace(80u << 20, [&] {
              platform::PrepareProcess();  // as the program sets the heap up
              for (const std::size_t size :
                   {text.size(), std::size_t{2} << 20, std::size_t{2} << 20, std::size_t{2} << 20,
                    std::size_t{2} << 20, std::size_t{2} << 20, std::size_t{2} << 20,
                    std::size_t{2} << 20, std::size_t{2} << 20}) {
                auto* block = static_cast<char*>(std::malloc(size + 1));
                if (block == nullptr) {
                  return 2;
                }
                std::memcpy(block, text.c_str(), size);
                block[size] = '\0';
                char* result = ApplyRewriteRules(block);
                const bool grown = result != nullptr && std::strlen(result) > size * 3 / 2;
                std::free(result);
                if (!grown) {
                  return 1;
                }
              }
              return 0;
            }));
}

// A text, pattern or replacement one byte longer than the replacer takes (2 GiB - 1 bytes, made
// of one MiB mapped again and again: it costs that MiB), and one of the longest it takes.
TEST_F(ReplacerMemoryTest, ATextPastTheLengthLimitIsRefusedAsTooLongAndOneAtItIsTaken) {
  constexpr std::size_t kPiece = std::size_t{1} << 20;
  constexpr std::size_t kLength = static_cast<std::size_t>(kMaxTextLength) + 1;
  static_assert(kLength + 1 == 2048 * kPiece);
  const int piece = ::memfd_create("protowrap-text", 0);
  const int last = ::memfd_create("protowrap-text-end", 0);
  ASSERT_LE(0, piece);
  ASSERT_LE(0, last);
  std::string bytes(kPiece, 'a');
  ASSERT_EQ(static_cast<ssize_t>(kPiece), ::write(piece, bytes.data(), kPiece));
  bytes.back() = '\0';
  ASSERT_EQ(static_cast<ssize_t>(kPiece), ::write(last, bytes.data(), kPiece));
  auto* region = static_cast<char*>(
      ::mmap(nullptr, kLength + 1, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0));
  ASSERT_NE(MAP_FAILED, static_cast<void*>(region));
  for (std::size_t at = 0; at < kLength + 1; at += kPiece) {
    const int from = at + kPiece < kLength + 1 ? piece : last;
    ASSERT_EQ(static_cast<void*>(region + at),
              ::mmap(region + at, kPiece, PROT_READ, MAP_SHARED | MAP_FIXED, from, 0));
  }
  ASSERT_EQ(kLength, std::strlen(region));
  const TextReplacer replacer;
  for (int place = 0; place < 3; ++place) {
    ReplaceStatus status = ReplaceStatus::kReplaced;
    EXPECT_EQ(nullptr, replacer.ReplaceAll(place == 0 ? region : "a", place == 1 ? region : "a",
                                           place == 2 ? region : "b", &status));
    EXPECT_EQ(ReplaceStatus::kTooLong, status) << place;
  }
  // One byte shorter, each is taken: nothing matches, and the text comes back as it was.
  for (int place = 0; place < 3; ++place) {
    const char* text = place == 0 ? region + 1 : "a";
    ReplaceStatus status = ReplaceStatus::kReplaced;
    EXPECT_EQ(text, replacer.ReplaceAll(text, place == 1 ? region + 1 : "b",
                                        place == 2 ? region + 1 : "b", &status));
    EXPECT_EQ(ReplaceStatus::kUnchanged, status) << place;
  }
  ::munmap(region, kLength + 1);
  ::close(piece);
  ::close(last);
}

}  // namespace
}  // namespace protowrap
