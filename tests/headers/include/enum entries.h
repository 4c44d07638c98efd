// A file whose name the rules rewrite ("enum e" becomes "PROTOCOL_STRUCT s") when a protocol
// header includes it.
#pragma once
