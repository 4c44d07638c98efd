// Declarations with a body and declarators after it: the wrap header repeats each one, and a
// second definition of the same struct, variable or typedef of an unnamed struct fails.
enum eCG_HEAD_PROTOCOL
{
	CG_HEAD_HELLO,
};
typedef struct { int code; } PacketHead;  // expect-warning PW010:1
struct Point { int x; } gOrigin;  // expect-warning PW010:1
typedef struct { short id; } PacketTail, *PacketTailPtr;  // expect-warning PW010:1
enum eCG_TAIL_PROTOCOL
{
	CG_TAIL_BYE,
};
unsigned long *g_lastPacket;  // expect-warning PW010:1
struct Point& PointRef();
::Point *g_nearest;  // expect-warning PW010:1
