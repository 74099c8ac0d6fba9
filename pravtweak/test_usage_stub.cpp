// Unit tests link the library without a program: complain's usage ends the
// test program the way the real one ends a run.
#include <cstdlib>

#include "messages.h"

void usage() {
    exit(7);
}
