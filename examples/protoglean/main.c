/* Measures two shapes with the functions that proto.h declares. */
#include <stdio.h>

#include "proto.h"

int main(void) {
    struct rect door = {0.9, 2.0};
    report("circle of radius 1", circle_area(1.0));
    report("door", rect_area(door));
    printf("%d shapes measured\n", shapes_measured);
    return 0;
}
