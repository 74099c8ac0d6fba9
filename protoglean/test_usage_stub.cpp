// Unit tests link the library without the program; its usage ends the test
// program the way the real one ends a run.
#include <cstdlib>

#include "messages.h"

void usage() {
    exit(2);
}
