// A file whose name the rules rewrite when a protocol header includes it.
#pragma once
typedef unsigned char CgByte;
