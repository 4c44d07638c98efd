// The last value names an enumerator, and "} ;" is no "};" for the rules to close the table: the
// entry that the name opens runs on to the end of the text and takes the table's end with it, so
// nothing after the value is the compiler's to blame.
#pragma once
enum eCW_LAST_PROTOCOL
{
	CW_FIRST,
	CW_SECOND = CW_FIRST + 1  // expect-warning PW005:2
} ;
