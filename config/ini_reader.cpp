// The INI lookup over bytes, as GetPrivateProfileString reads a file.
#include "config/ini_reader.h"

#include <cassert>
#include <cstring>

namespace protowrap::config {

namespace {

// Characters that surround lines, names and values without belonging to them: the C blanks and
// Ctrl-Z, which old DOS editors left at the end of a file.
bool IsBlank(unsigned char c) {
  return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1a';
}

bool IsLineEnd(unsigned char c) {
  return c == '\n' || c == '\r';
}

unsigned char AsciiLower(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// Copies `length` bytes of `text`, cut to fit, as a terminated string; returns the length copied.
std::uint32_t CopyCut(const char* text, std::size_t length, char* buffer,
                      std::uint32_t bufferSize) {
  if (bufferSize == 0) {
    return 0;
  }
  if (length > bufferSize - 1) {
    length = bufferSize - 1;
  }
  std::memmove(buffer, text, length);
  buffer[length] = '\0';
  return static_cast<std::uint32_t>(length);
}

}  // namespace

void IniReader::NameMatcher::Reset(const char* name, std::size_t nameLength) {
  *this = NameMatcher{};
  wanted = name;
  wantedLength = nameLength;
}

void IniReader::NameMatcher::Push(unsigned char c) {
  if (ended) {
    return;
  }
  if (c == '\0') {  // blanks before a NUL stay part of the name
    length += pending;
    ended = true;
    return;
  }
  if (!started) {
    if (IsBlank(c)) {
      return;
    }
    started = true;
  }
  const std::size_t at = length + pending;
  if (firstMismatch == SIZE_MAX &&
      (at >= wantedLength || AsciiLower(c) != AsciiLower(static_cast<unsigned char>(wanted[at])))) {
    firstMismatch = at;
  }
  if (IsBlank(c)) {
    ++pending;
  } else {
    length = at + 1;
    pending = 0;
  }
}

bool IniReader::NameMatcher::Matches() const {
  return length == wantedLength && firstMismatch >= length;
}

IniReader::IniReader(const char* section, const char* key, char* buffer, std::uint32_t bufferSize)
    : section_(section), key_(key), buffer_(buffer), bufferSize_(bufferSize) {
  keyName_.Reset(key_, std::strlen(key_));
  sectionName_.Reset(section_, std::strlen(section_));
}

bool IniReader::Feed(const char* data, std::size_t size) {
  const char* end = data + size;
  for (const char* p = data; p < end && !done_; ++p) {
    if (encoding_ == Encoding::kBytes && lineStarted_ && first_ != '[' &&
        (!inSection_ || first_ == ';' || (sawEquals_ && !keyMatches_))) {
      // Nothing more of this line can matter: go straight to its end.
      while (p < end && !IsLineEnd(static_cast<unsigned char>(*p))) {
        ++p;
      }
      if (p == end) {
        break;
      }
    }
    Decode(static_cast<unsigned char>(*p));
  }
  return !done_;
}

void IniReader::Decode(unsigned char byte) {
  switch (encoding_) {
    case Encoding::kBytes:
      Put(byte);
      return;
    case Encoding::kUtf16:
      PutUtf8(utf16_.Push(byte));
      return;
    case Encoding::kUndecided:
      break;
  }
  // The first bytes decide: a UTF-8 mark is skipped, a UTF-16 mark switches to UTF-16, and
  // anything else is plain bytes, the ones held back included.
  assert(markLength_ < sizeof mark_);  // three bytes always decide
  mark_[markLength_++] = byte;
  const bool utf8Mark = mark_[0] == 0xEF && (markLength_ < 2 || mark_[1] == 0xBB) &&
                        (markLength_ < 3 || mark_[2] == 0xBF);
  if (markLength_ == 2 && mark_[0] == 0xFF && mark_[1] == 0xFE) {
    encoding_ = Encoding::kUtf16;
  } else if (markLength_ == 2 && mark_[0] == 0xFE && mark_[1] == 0xFF) {
    encoding_ = Encoding::kUtf16;
    utf16_ = Utf16Decoder(Utf16Decoder::ByteOrder::kBigEndian);
  } else if (utf8Mark && markLength_ == 3) {
    encoding_ = Encoding::kBytes;
  } else if (!utf8Mark && !(markLength_ == 1 && (byte == 0xFF || byte == 0xFE))) {
    encoding_ = Encoding::kBytes;
    for (std::size_t i = 0; i < markLength_; ++i) {
      Put(mark_[i]);
    }
  }
}

void IniReader::PutUtf8(const Utf8Piece& piece) {
  if (piece.unconvertible && !done_ && keyMatches_ && !value_.ended) {
    value_.unconvertible = true;  // the character is part of the value being looked for
  }
  for (unsigned i = 0; i < piece.length; ++i) {
    Put(piece.bytes[i]);
  }
}

void IniReader::Put(unsigned char c) {
  if (done_) {
    return;
  }
  if (IsLineEnd(c)) {
    EndLine();
    return;
  }
  if (!lineStarted_) {
    if (IsBlank(c)) {
      return;
    }
    lineStarted_ = true;
    first_ = c;
  } else if (first_ == '[') {
    // A section line, once it holds a ']': its name runs to the last one.
    if (c == ']') {
      sawClose_ = true;
      closeMatches_ = sectionName_.Matches();
    }
    sectionName_.Push(c);
  }
  // Read as a key line too, in case no ']' comes: the section's lines only, comments aside.
  if (!inSection_ || first_ == ';') {
    return;
  }
  if (!sawEquals_) {
    if (c == '=') {
      sawEquals_ = true;
      keyMatches_ = keyName_.Matches();
    } else {
      keyName_.Push(c);
    }
  } else if (keyMatches_) {
    RecordValue(c);
  }
}

void IniReader::RecordValue(unsigned char c) {
  ValueRecorder& v = value_;
  if (v.ended) {
    return;
  }
  if (c == '\0') {
    if (v.pending > 0) {
      v.last = ' ';
    }
    v.length += v.pending;
    v.ended = true;
    return;
  }
  if (!v.started) {
    if (IsBlank(c)) {
      return;
    }
    v.started = true;
  }
  const std::size_t at = v.length + v.pending;
  if (at < bufferSize_) {
    buffer_[at] = static_cast<char>(c);
  }
  if (IsBlank(c)) {
    ++v.pending;
  } else {
    v.length = at + 1;
    v.pending = 0;
    v.last = c;
  }
}

void IniReader::EndLine() {
  if (lineStarted_) {
    if (first_ == '[' && sawClose_) {
      if (inSection_) {
        done_ = true;  // only the first section of that name counts
        return;
      }
      inSection_ = closeMatches_;
    } else if (sawEquals_ ? keyMatches_ : keyName_.Matches()) {
      found_ = true;
      done_ = true;
      return;
    }
  }
  lineStarted_ = false;
  sawEquals_ = false;
  sawClose_ = false;
  closeMatches_ = false;  // (keyMatches_ is false here: a line whose key matched ends the lookup)
  keyName_.Reset(keyName_.wanted, keyName_.wantedLength);
  sectionName_.Reset(sectionName_.wanted, sectionName_.wantedLength);
  value_ = ValueRecorder{};
}

std::uint32_t IniReader::Finish(const char* defaultValue) {
  if (encoding_ == Encoding::kUndecided) {  // too short for a mark: plain bytes
    for (std::size_t i = 0; i < markLength_; ++i) {
      Put(mark_[i]);
    }
  } else if (encoding_ == Encoding::kUtf16) {
    PutUtf8(utf16_.Finish());
  }
  if (!done_) {
    EndLine();  // the last line needs no line end
  }
  if (!found_ || value_.unconvertible) {
    const char* fallback = defaultValue != nullptr ? defaultValue : "";
    return CopyCut(fallback, std::strlen(fallback), buffer_, bufferSize_);
  }
  if (bufferSize_ == 0) {
    return 0;
  }
  // The value's first bufferSize bytes are in the buffer. A value in matching quotes loses them;
  // Windows copies what follows the opening quote and then drops the last character, but only
  // when everything up to the closing quote fitted: when the buffer holds exactly that, it
  // therefore loses the value's last character too.
  std::size_t begin = 0;
  std::size_t length = value_.length;
  const auto first = static_cast<unsigned char>(buffer_[0]);
  if (length >= 2 && (first == '"' || first == '\'') && value_.last == first) {
    begin = 1;
    --length;
    if (bufferSize_ > length) {
      --length;
    } else if (bufferSize_ == length) {
      length = length >= 2 ? length - 2 : 0;
    }
  }
  return CopyCut(buffer_ + begin, length, buffer_, bufferSize_);
}

}  // namespace protowrap::config
