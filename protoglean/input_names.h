// Expands an input argument into the files it names, one at a time.
#pragma once

namespace protoglean {

// The next input file for text. A non-empty text starts a new search for
// the plain files matching it ("*" and "?" wildcards), keeping its directory
// part as typed, and is emptied; an empty text continues the search in
// progress. When nothing matches, the pattern itself is returned once, so
// that opening it names the culprit. Null when no more files remain. The
// name stays valid until the next call.
const char* next_input_name(char* text);

}  // namespace protoglean
