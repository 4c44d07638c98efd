// Digraph directives ("%:" for '#'), which the rules leave alone: they stay directives in the wrap
// header too, so what their blocks hold is compiled there only where it is in the header.
%:pragma once

enum eCG_DIGRAPH_PROTOCOL
{
	CG_DIGRAPH_HELLO = 0x0F00,
%:ifdef _WIN32
	CG_DIGRAPH_WINDOWS,
%:else
	CG_DIGRAPH_OTHER,
%:endif
};

%:ifdef _DEBUG
enum eCG_DIGRAPH_DEBUG_PROTOCOL { CG_DIGRAPH_DUMP, };
%:else
enum eCG_DIGRAPH_DEBUG_PROTOCOL { CG_DIGRAPH_NODUMP, };
%:endif

// A block that no build compiles: what the rules break in it breaks nothing.
%:if 0
enum eCG_RETIRED_PROTOCOL { RETIRED_HELLO, CG_RETIRED_BYE, };
%:endif
