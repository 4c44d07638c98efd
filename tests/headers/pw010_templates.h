// Definitions of templates, repeated by the wrap header after the header: defined twice.
#pragma once

template <typename T> T Twice(T value) { return value + value; }  // expect-warning PW010:1
template <typename T> constexpr T kZero{};  // expect-warning PW010:1
template <typename T> struct Box {};  // expect-warning PW010:1

enum eCG_BOX_PROTOCOL
{
	CG_BOX_OPEN = 0x0A00,
};
