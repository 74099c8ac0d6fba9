// State of one editing run, shared by the driver, the rank reader, the
// settings passes and the rank writer.
#pragma once

#include <cstdio>

#include "line_source.h"

// Pieces read so far from the organ file; the first number of every message.
extern int line_number;

// The organ file being read, and the temporary file being written.
extern LineSource input;
extern FILE* output;
