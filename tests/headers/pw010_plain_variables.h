// Variables defined without an initializer: the wrap header defines them again after the header.
#pragma once
enum eCG_PLAIN_PROTOCOL
{
	CG_PLAIN_A = 0x0100,
};
int gPlainCount;  // expect-warning PW010:1
static unsigned long gPlainMask;  // expect-warning PW010:1
