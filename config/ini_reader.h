// Reading a value out of the bytes of a Windows initialization (INI) file, as
// GetPrivateProfileStringA does, in memory that does not grow with the file.
#pragma once

#include <cstddef>
#include <cstdint>

#include "config/utf16_decoder.h"

namespace protowrap::config {

/// Answers one lookup of `key` in the first section named `section` of an INI text that arrives
/// in pieces of any size (Feed), keeping only the caller's value buffer and a few counters: a
/// file of any size, with lines of any length, is read in constant memory.
///
/// The text is read as Windows reads it. Names compare without regard to ASCII case. Lines end at
/// LF, CR LF or a lone CR; blanks around lines, names and values are dropped; a section name runs
/// from '[' to the last ']' of its line; a line starting with ';' is a comment; a value enclosed
/// in matching quotes loses them; a NUL ends a name or a value. A UTF-8 byte-order mark is
/// skipped. A UTF-16 text (LE or BE, with its mark) is read as such and its characters handed
/// back in UTF-8; a value holding a character that cannot be converted (an unpaired surrogate)
/// counts as missing.
class IniReader {
 public:
  /// `buffer` (bufferSize bytes) receives the value; it is also the reader's scratch space, so
  /// its content is unspecified until Finish.
  IniReader(const char* section, const char* key, char* buffer, std::uint32_t bufferSize);

  /// Reads the next `size` bytes of the text. Returns false once the answer is known: the rest
  /// of the text need not be read (feeding more changes nothing).
  bool Feed(const char* data, std::size_t size);

  /// Ends the text and leaves the answer in the buffer as a terminated string of at most
  /// bufferSize - 1 bytes: the value, or `defaultValue` (also cut) when the section or key is
  /// missing. Returns the length copied.
  std::uint32_t Finish(const char* defaultValue);

 private:
  // Compares a name with a wanted one as its bytes arrive, without keeping them: leading blanks
  // are skipped, trailing ones dropped, and a NUL ends the name.
  struct NameMatcher {
    const char* wanted = "";
    std::size_t wantedLength = 0;
    std::size_t length = 0;   // bytes of the name so far, trailing blanks excluded
    std::size_t pending = 0;  // blanks after them, part of the name only if more follows
    std::size_t firstMismatch = SIZE_MAX;
    bool started = false;
    bool ended = false;  // a NUL ended the name

    void Reset(const char* name, std::size_t nameLength);
    void Push(unsigned char c);
    bool Matches() const;
  };

  // Collects a value into the caller's buffer as its bytes arrive: the first bufferSize bytes,
  // its length and its last byte are all that the answer depends on.
  struct ValueRecorder {
    std::size_t length = 0;
    std::size_t pending = 0;
    unsigned char last = 0;  // the value's last byte
    bool started = false;
    bool ended = false;
    bool unconvertible = false;  // it holds a character that could not be converted
  };

  enum class Encoding { kUndecided, kBytes, kUtf16 };

  void Decode(unsigned char byte);
  void PutUtf8(const Utf8Piece& piece);
  void Put(unsigned char c);
  void EndLine();
  void RecordValue(unsigned char c);

  const char* section_;
  const char* key_;
  char* buffer_;
  std::uint32_t bufferSize_;

  Encoding encoding_ = Encoding::kUndecided;
  unsigned char mark_[3] = {};  // the first bytes, until the encoding is known
  std::size_t markLength_ = 0;
  Utf16Decoder utf16_{Utf16Decoder::ByteOrder::kLittleEndian};

  // The current line.
  bool lineStarted_ = false;  // a non-blank byte was seen
  unsigned char first_ = 0;   // that byte
  bool sawEquals_ = false;
  bool sawClose_ = false;      // a ']' after a leading '['
  bool closeMatches_ = false;  // the section name up to the last ']' so far is `section_`
  bool keyMatches_ = false;    // the key before '=' is `key_`, in the wanted section
  NameMatcher keyName_;
  NameMatcher sectionName_;
  ValueRecorder value_;

  bool inSection_ = false;
  bool done_ = false;
  bool found_ = false;
};

}  // namespace protowrap::config
