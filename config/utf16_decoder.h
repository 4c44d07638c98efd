// UTF-16 text, arriving a byte at a time, turned into UTF-8.
#pragma once

#include <cstdint>

namespace protowrap {

/// What one byte of UTF-16 text gave: the UTF-8 bytes of the characters it completed. When
/// `unconvertible` is set, the first character is U+FFFD, standing for a unit that was no
/// character (an unpaired surrogate).
struct Utf8Piece {
  unsigned char bytes[7];  // at most U+FFFD and one four-byte character
  unsigned length = 0;
  bool unconvertible = false;
};

/// Decodes UTF-16, little- or big-endian, keeping only the half of a unit and the high surrogate
/// that wait for the rest.
class Utf16Decoder {
 public:
  enum class ByteOrder { kLittleEndian, kBigEndian };

  explicit Utf16Decoder(ByteOrder order) : order_(order) {}

  /// Takes the next byte of the text.
  Utf8Piece Push(unsigned char byte);

  /// Ends the text: a high surrogate still waiting becomes U+FFFD. An odd last byte is dropped.
  /// The last call: the decoder takes no more bytes.
  Utf8Piece Finish();

 private:
  void PutUnit(unsigned unit, Utf8Piece* piece);

  ByteOrder order_;
  int oddByte_ = -1;            // the first byte of an incomplete unit
  unsigned highSurrogate_ = 0;  // a high surrogate waiting for its low half
};

}  // namespace protowrap
