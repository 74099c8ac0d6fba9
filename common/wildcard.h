#pragma once

// True when name matches pattern, where "*" stands for any run of
// characters (also none) and "?" for exactly one; other characters match
// themselves, case-sensitively.
bool wildcard_match(const char* pattern, const char* name);
