// A file whose name the rules rewrite (its comma) when a protocol header includes it.
#pragma once
