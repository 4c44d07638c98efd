// Variables whose type names an enumeration from the global namespace on ("::" first): each is
// defined again by the wrap header, unless it is only declared.
#pragma once

namespace paint
{
enum Hue : int;
}

enum ::paint::Hue gHue;  // expect-warning PW010:1
extern enum ::paint::Hue gShade;
enum ::paint::Hue* gPick;  // expect-warning PW010:1

enum eCG_HUE_PROTOCOL
{
	CG_HUE_A = 1,
};
