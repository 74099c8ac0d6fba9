// The library shows the help text for a message raised with the usage flag,
// which no input should reach: a fuzz target that gets there has found
// something.
#include <cstdlib>

#include "messages.h"

void usage() {
    std::abort();
}
