// Variables whose names end in _PROTOCOL, with no '=' of their own: rule 7 writes "[] =" after
// the name, before the array's bound or the constructor's argument, which no array takes.
#pragma once
enum eCG_DECL_PROTOCOL
{
	CG_DECL_A = 0x0100,
};
char gName_PROTOCOL[4];  // expect-warning PW010:6
int gCount_PROTOCOL(5);  // expect-warning PW010:5
