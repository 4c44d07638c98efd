// The header check on the shapes of header that cost it most, each at two sizes, as a run checks
// them (the wrap header that the rules make, beside the header's bytes): time per byte of the wrap
// header at both (a ratio near 1 is linear growth) and the extra memory at its peak, against the
// wrap header's size. Figures only; nothing here passes or fails.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "check/header_check.h"
#include "wrap/rewrite_rules.h"

namespace {

// Every allocation of the process, counted: the check's peak is what it adds to what was there.
std::size_t gLive = 0;
std::size_t gPeak = 0;

}  // namespace

void* operator new(std::size_t size) {
  // A block's size is kept in front of it, so that delete can count it off.
  auto* block = static_cast<std::size_t*>(std::malloc(size + sizeof(std::size_t)));
  if (block == nullptr) {
    throw std::bad_alloc();
  }
  *block = size;
  gLive += size;
  gPeak = gLive > gPeak ? gLive : gPeak;
  return block + 1;
}

void operator delete(void* pointer) noexcept {
  if (pointer != nullptr) {
    std::size_t* block = static_cast<std::size_t*>(pointer) - 1;
    gLive -= *block;
    std::free(block);
  }
}

void operator delete(void* pointer, std::size_t) noexcept {
  operator delete(pointer);
}

namespace {

std::string Repeat(const std::string& piece, std::size_t times) {
  std::string text;
  text.reserve(piece.size() * times);
  for (std::size_t i = 0; i < times; ++i) {
    text += piece;
  }
  return text;
}

std::string Entries(std::size_t count) {
  std::string text;
  for (std::size_t i = 0; i < count; ++i) {
    text.append("CG_E").append(std::to_string(i)).append(", ");
  }
  return text;
}

const std::string kHead = "enum eCG_X_PROTOCOL {\n";
const std::string kEnd = "\n};\n";

// A shape at a scale n (about n lines of header), as the header is written.
struct Shape {
  const char* name;
  std::string (*make)(std::size_t n);
};

const Shape kShapes[] = {
    {"#if 0 / #else nested n deep around n entries",
     [](std::size_t n) {
       return kHead + Repeat("#if 0\n#else\n", n) + Entries(n) + Repeat("\n#endif", n) + kEnd;
     }},
    {"n entries in 200 conditional blocks",
     [](std::size_t n) {
       return kHead + Repeat("#ifdef _DEBUG\n", 200) + Entries(n) + Repeat("\n#endif", 200) + kEnd;
     }},
    {"n entries inside one #if",
     [](std::size_t n) { return kHead + "#ifdef _DEBUG\n" + Entries(n) + "\n#endif" + kEnd; }},
    {"n nested #if blocks, closed",
     [](std::size_t n) { return Repeat("#if A\n", n) + Repeat("#endif\n", n); }},
    {"n nested #if blocks, never closed", [](std::size_t n) { return Repeat("#if A\n", n); }},
    {"n #define of macros, each read by an #if",
     [](std::size_t n) {
       std::string text;
       for (std::size_t i = 0; i < n; ++i) {
         const std::string number = std::to_string(i);
         text.append("#define M").append(number).append(" ").append(number);
         text.append("\n#if M").append(number).append("\n#endif\n");
       }
       return text;
     }},
    {"a macro with a comment of n bytes, read by n/20 #if",
     [](std::size_t n) {
       return "#define A 1 /*" + std::string(n, 'x') + "*/\n" + Repeat("#if A\n#endif\n", n / 20);
     }},
    {"n/40 enumerator values naming a macro with a comment of n bytes",
     [](std::size_t n) {
       std::string text = "#define A 1 /*" + std::string(n, 'x') + "*/\n" + kHead;
       for (std::size_t i = 0; i < n / 40; ++i) {
         text.append("CG_E").append(std::to_string(i)).append(" = A, ");
       }
       return text + kEnd;
     }},
    {"n/20 #if on a macro of macros of n bytes",
     [](std::size_t n) {
       std::string text;
       for (std::size_t i = 0; i < n / 20; ++i) {
         text.append("#define B").append(std::to_string(i)).append(" (A + A)\n");
       }
       text.append("#define A (");
       for (std::size_t i = 0; i < n / 20; ++i) {
         text.append(i == 0 ? "" : " + ").append("B").append(std::to_string(i));
       }
       return text + ")\n" + Repeat("#if A\n#endif\n", n / 20);
     }},
    {"n/16 directives that open a block comment",
     [](std::size_t n) { return Repeat("#define X 1 /*\n", n / 16); }},
    {"n stray enumerators, every warning kept (--warning-limit=0)",
     [](std::size_t n) { return kHead + Repeat("X, ", n) + kEnd; }},
};

// The wrap header that the rules make of `header`.
std::string WrapOf(const std::string& header) {
  char* block = static_cast<char*>(std::malloc(header.size() + 1));
  std::memcpy(block, header.c_str(), header.size() + 1);
  char* wrapped = protowrap::ApplyRewriteRules(block);
  std::string text(wrapped);
  std::free(wrapped);
  return text;
}

struct Figure {
  double nanosecondsPerByte;
  double peakPerByte;
};

Figure Measure(const Shape& shape, std::size_t n, bool all) {
  const std::string header = shape.make(n);
  const std::string text = WrapOf(header);
  const auto length = static_cast<std::int32_t>(text.size());
  const std::size_t before = gLive;
  gPeak = gLive;
  const auto start = std::chrono::steady_clock::now();
  {
    protowrap::check::WarningReport report(all ? 0 : 20);
    protowrap::check::CheckOptions options;
    options.header = header.c_str();
    options.headerLength = static_cast<std::int32_t>(header.size());
    protowrap::check::CheckWrapHeader(text.c_str(), length, &report, options);
  }
  const auto time = std::chrono::steady_clock::now() - start;
  return {static_cast<double>(std::chrono::duration_cast<std::chrono::nanoseconds>(time).count()) /
              static_cast<double>(length),
          static_cast<double>(gPeak - before) / static_cast<double>(length)};
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t small = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;
  std::printf("| shape | ns/byte at n = %zu | at n = %zu | ratio | peak memory / wrap header |\n",
              small, 8 * small);
  std::printf("|---|---|---|---|---|\n");
  for (const Shape& shape : kShapes) {
    const bool all = std::string(shape.name).find("every warning") != std::string::npos;
    const Figure a = Measure(shape, small, all);
    const Figure b = Measure(shape, 8 * small, all);
    std::printf("| %s | %.2f | %.2f | %.2fx | %.2f |\n", shape.name, a.nanosecondsPerByte,
                b.nanosecondsPerByte, b.nanosecondsPerByte / a.nanosecondsPerByte, b.peakPerByte);
  }
  return 0;
}
