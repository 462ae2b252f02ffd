// Wildcard matching of file names by the rules of Windows' file search,
// without the search's short (8.3) names. A pure function: no state, no
// allocation, no file system.
#pragma once

// Returns true when `name` matches `pattern`; false when it does not or when
// either is null. Letters compare without regard to ASCII case (no other
// byte has a case); '*' matches any run of characters, dots included, and
// '?' exactly one character. Once the name is used up, whatever is left of
// the pattern matches when it holds only '.' and '*', so "*.*" matches every
// name and "a.*" also matches "a".
bool wildcardMatch(const char* pattern, const char* name);
