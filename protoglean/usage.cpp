#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "exit_status.h"
#include "messages.h"

namespace {

const char help_text[] =
    "protoglean afn [:afn] [[+]outfile]  (\"&\" works for \":\" but probably not in XP)\n"
    "where afn is (are) C file(s), with _f in FIRST COLUMN of lines where functions\n"
    "in prototype form start. Token is _f. Produces outfile with prototypes\n"
    "terminated at first encountered {, which is replaced by a \";\". Sticks a little\n"
    "file header in. Provides similar treatment for variables with leading _v;\n"
    "prefaces the phrase with extern and then emits everything until and including\n"
    ";. If an equals sign is encountered it will take that as the end of the\n"
    "variable, so inited _v variables should be typed separately. //Actually now it\n"
    "figgers _v/_f so either'll do. If +, *appends* to outfile. _copy on a line by\n"
    "itself copies *next* lines until a line consisting of _uncopy. (w32)\n";

// This file's name without the directories the compiler was given.
const char* source_name() {
    const char* name = __FILE__;
    for (const char* p = name; *p; ++p)
        if (*p == '/' || *p == '\\')
            name = p + 1;
    return name;
}

}  // namespace

void usage() {
    fprintf(stderr, "%s      %s\n", source_name(), __DATE__);
    fputs(help_text, stderr);
    exit(ExitUsage);
}
