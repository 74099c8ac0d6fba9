// Writes a new <ranks> section from the rank table.
#pragma once

#include <cstdio>

// Writes the current model's ranks, all of them in table order, as a
// <ranks> section of 3 + 9 * rank_count lines indented by tabs, each line
// ending in CR LF when crlf is set and in LF otherwise. stamp goes into
// the comment line. Returns 0.
int write_ranks(FILE* out, bool crlf, const char* stamp);

// Writes text that stood beside a section's tag on the tag's line, followed
// by eol, unless it is all white space (then nothing is written).
void write_beside_tag(FILE* out, const char* text, size_t size, const char* eol);
