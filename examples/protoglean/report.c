/* Prints one measured area. */
#include <stdio.h>

#include "marks.h"
#include "proto.h"

_v const char *report_unit = "m2";

_f void report(const char *name, double area) {
    printf("%s: %.2f %s\n", name, area, report_unit);
}
