// A comment that opens on a directive's line and ends two lines later: the '#' lines inside it
// are no directives, so no build defines EXTRA_BUILD, and the table names an enumerator that the
// header does not declare.
#pragma once

#define NOTE_LEVEL 1 /* the extra build once defined its switch here:
#define EXTRA_BUILD 1
#define EXTRA_LEVEL 2 */

enum eCG_EXTRA_PROTOCOL
{
	CG_EXTRA_HELLO = 0x0900,
#ifdef EXTRA_BUILD
	CG_EXTRA_RELOAD,  // expect-warning
#endif
#if NOTE_LEVEL == 1
	CG_EXTRA_NOTE,
#endif
};
