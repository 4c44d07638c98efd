// Enumerations that the rules leave enumerations, beside a pragma operator, an attribute and an
// inline namespace: one whose body the rules do not touch is defined again by the wrap header,
// an opaque declaration is repeated harmlessly.
#pragma once
_Pragma("pack(push, 1)")
enum Color { RED } ;  // expect-warning PW010:1
enum class Mode : int;
enum [[deprecated]] Legacy { OLD_ONE } ;  // expect-warning PW010:1
inline namespace v1 {
enum eCG_INLINE_PROTOCOL
{
	CG_INLINE_A = 0x0F00,
};
}
_Pragma("pack(pop)")
