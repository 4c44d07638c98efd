// An enumeration named as the type of something else ("enum Shade gShade;"): the wrap header repeats
// the declaration, and a second definition of a variable fails, the rules' ',' for its '=' too;
// declarations of functions and opaque enumerations are repeated harmlessly.
enum eCG_SHADE_PROTOCOL
{
	CG_SHADE_SET,
};
enum Shade : int;
enum Shade gShade;  // expect-warning PW010:1
enum Shade* gShadePointer;  // expect-warning PW010:1
enum Shade (*gPickShade)(int) = 0;  // expect-warning PW010:1
enum class Tone : short;
enum Tone gTone;  // expect-warning PW010:1
enum Shade DarkerShade(enum Shade shade);
extern enum Tone gLastTone;
extern enum Shade (*gPickNext)(enum Shade);
namespace paint { enum Hue : int; typedef short Width; }
enum paint::Hue gHue;  // expect-warning PW010:1
enum paint::Hue NextHue(enum paint::Hue hue);
enum Level : ::paint::Width;
