// Shared by the protocol headers of the check's corpus: nothing here is converted.
#pragma once

#define PROTOCOL_CATEGORY_SHIFT 8
#define MAKE_CODE(category, number) (((category) << PROTOCOL_CATEGORY_SHIFT) | (number))

typedef unsigned short ProtocolCode;

#define PROTOCOL_EXTERN extern
#define __protocol_extern extern
typedef unsigned P;
