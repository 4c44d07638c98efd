// A file whose name the rules rewrite (its equals sign) when a protocol header includes it.
#pragma once
