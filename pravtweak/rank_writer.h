// Writes a new <ranks> section from the rank table.
#pragma once

#include <cstddef>
#include <string>

// Appends the current model's ranks, all of them in table order, as a
// <ranks> section of 3 + 9 * rank_count lines indented by tabs, each line
// ending in CR LF when crlf is set and in LF otherwise, to out. stamp goes
// into the comment line; returns where it starts in out.
size_t write_ranks(std::string& out, bool crlf, const char* stamp);

// Appends text that stood beside a section's tag on the tag's line,
// followed by eol, unless it is all white space (then nothing is written).
void write_beside_tag(std::string& out, const std::string& text, const char* eol);
