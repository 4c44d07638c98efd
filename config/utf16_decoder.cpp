// UTF-16 to UTF-8, a byte at a time.
#include "config/utf16_decoder.h"

namespace protowrap {

namespace {

void PutCodePoint(std::uint32_t c, Utf8Piece* piece) {
  unsigned char* out = piece->bytes + piece->length;
  if (c < 0x80) {
    out[0] = static_cast<unsigned char>(c);
    piece->length += 1;
  } else if (c < 0x800) {
    out[0] = static_cast<unsigned char>(0xC0 | c >> 6);
    out[1] = static_cast<unsigned char>(0x80 | (c & 0x3F));
    piece->length += 2;
  } else if (c < 0x10000) {
    out[0] = static_cast<unsigned char>(0xE0 | c >> 12);
    out[1] = static_cast<unsigned char>(0x80 | (c >> 6 & 0x3F));
    out[2] = static_cast<unsigned char>(0x80 | (c & 0x3F));
    piece->length += 3;
  } else {
    out[0] = static_cast<unsigned char>(0xF0 | c >> 18);
    out[1] = static_cast<unsigned char>(0x80 | (c >> 12 & 0x3F));
    out[2] = static_cast<unsigned char>(0x80 | (c >> 6 & 0x3F));
    out[3] = static_cast<unsigned char>(0x80 | (c & 0x3F));
    piece->length += 4;
  }
}

// U+FFFD, which stands for a unit that is no character. It always comes first in a piece.
void PutUnconvertible(Utf8Piece* piece) {
  piece->unconvertible = true;
  PutCodePoint(0xFFFD, piece);
}

}  // namespace

Utf8Piece Utf16Decoder::Push(unsigned char byte) {
  Utf8Piece piece;
  if (oddByte_ < 0) {
    oddByte_ = byte;
    return piece;
  }
  const auto first = static_cast<unsigned>(oddByte_);
  const unsigned second = byte;
  oddByte_ = -1;
  PutUnit(order_ == ByteOrder::kLittleEndian ? (second << 8 | first) : (first << 8 | second),
          &piece);
  return piece;
}

void Utf16Decoder::PutUnit(unsigned unit, Utf8Piece* piece) {
  if (highSurrogate_ != 0) {
    const unsigned high = highSurrogate_;
    highSurrogate_ = 0;
    if (unit >= 0xDC00 && unit <= 0xDFFF) {
      PutCodePoint(0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00), piece);
      return;
    }
    PutUnconvertible(piece);
  }
  if (unit >= 0xD800 && unit <= 0xDBFF) {
    highSurrogate_ = unit;
  } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
    PutUnconvertible(piece);
  } else {
    PutCodePoint(unit, piece);
  }
}

Utf8Piece Utf16Decoder::Finish() {
  Utf8Piece piece;
  if (highSurrogate_ != 0) {
    PutUnconvertible(&piece);
  }
  return piece;
}

}  // namespace protowrap
