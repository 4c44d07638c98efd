// Tables inside inline namespaces, named or not, are read as any other: an enumerator without its
// prefix still breaks its table.
#pragma once

inline namespace protocol_v2 {
enum eCG_INLINE_PROTOCOL
{
	CG_INLINE_HELLO = 0x0C00,
	INLINE_BYE,  // expect-warning PW008:2
};
}

inline namespace {
enum eCG_HIDDEN_PROTOCOL
{
	CG_HIDDEN_HELLO = 0x0C10,
	HIDDEN_BYE,  // expect-warning PW008:2
};
}
