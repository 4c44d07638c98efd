// Next to every header of the check's corpus: the parameter list of a declaration that an
// include completes (ok_include_in_declaration.h).
(int code)
