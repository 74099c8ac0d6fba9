// Reads a <ranks> section of the organ file into the rank table.
#pragma once

#include <cstdint>
#include <string>

#include "catalogue.h"
#include "line_source.h"

// Reads on from source through the line holding "</ranks>", storing field
// values in the current model's ranks and reporting unknown ids, fields
// outside a rank and ranks never closed. Returns 0, or ExitPrematureEnd
// when the input ends inside the section. On 0, *end_line (when given) is
// the piece that held "</ranks>", valid until the next read. Every value
// read is also stored in held's rank of the same place, when given. quiet
// reads without a message.
int read_ranks(LineSource& source, int& line_number, Piece* end_line = nullptr,
               OrganModel* held = nullptr, bool quiet = false);

// When the piece holds tag: true, with the number that follows the tag's
// first occurrence (blanks skipped, optional sign, digits; 0 without any).
bool tag_value(const Piece& line, const char* tag, int32_t& value);

// The line without the white space around it.
std::string line_excerpt(const Piece& line);
