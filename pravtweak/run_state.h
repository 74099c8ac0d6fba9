// State of one editing run that the driver shares with the rank reader and
// the settings passes.
#pragma once

// Pieces read so far from the organ file; the first number of every message.
extern int line_number;
