// Arrays defined at namespace scope: the wrap header repeats each definition, and a second one
// fails; a declaration of one (extern) or a typedef may be repeated.
enum eCG_ARRAY_PROTOCOL
{
	CG_ARRAY_FIRST,
};
int gCounts[4];  // expect-warning PW010:1
static short gGrid[2][3];  // expect-warning PW010:1
extern int gShared[4];
typedef int Quad[4];
unsigned gSized[sizeof(int)];  // expect-warning PW010:1
struct Slot;
Slot* gSlots[8];  // expect-warning PW010:1
