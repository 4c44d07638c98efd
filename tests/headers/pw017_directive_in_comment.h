// A comment that opens on a directive's line and ends two lines later: the '#' lines inside it
// are no directives, so no build defines EXTRA_BUILD, and the table names an enumerator that the
// header does not declare. A switch tested later is found all the same.
#pragma once

#define NOTE_LEVEL 1 /* the extra build once defined its switch here:
#define EXTRA_BUILD 1
#define EXTRA_LEVEL 2 */

enum eCG_EXTRA_PROTOCOL
{
	CG_EXTRA_HELLO = 0x0900,
#ifdef EXTRA_BUILD
	CG_EXTRA_RELOAD,  // expect-warning PW017:2
#endif
#if NOTE_LEVEL == 1
	CG_EXTRA_NOTE,
#endif
};

// A switch that only a build which defines it makes an enumerator too large in: found past the
// lines inside the comment.
enum eCG_WIDE_PROTOCOL
{
#ifndef EXTRA_WIDE
	CG_WIDE_LAST = 0x0A00,
#else
	CG_WIDE_LAST = 0x7FFFFFFF,  // expect-warning PW025:2
#endif
	CG_WIDE_NEXT,  // expect-warning PW018:2
};
