// Unit tests link the libraries without a program. A help text that would
// end the program ends the test program instead, with a status that no
// program uses, so that a test reaching it by mistake fails visibly.
#include <cstdlib>

#include "messages.h"

void usage() {
    std::exit(EXIT_FAILURE);
}
