// The header's text behind what the rules wrote into a directive or a macro's body.
#pragma once

#include <string>
#include <string_view>

namespace protowrap::check {

/// The header's text of a directive or a macro body that the rules rewrote: line splices removed,
/// and what the rules wrote there taken back where that is unambiguous ("MAKE_PROTOCOL_INFO(CG_"
/// is "CG_", "_PROTOCOL[] = " is "_PROTOCOL", "//#" is "#"). A ',' stays: it may have been '='
/// or ','. Returns `text` itself when there is nothing to undo, else a view of `*scratch`.
std::string_view HeaderTextOf(std::string_view text, std::string* scratch);

}  // namespace protowrap::check
