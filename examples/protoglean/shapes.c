/* Areas of simple shapes. */
#include "marks.h"
#include "proto.h"

/* Lines between _copy and _uncopy go into proto.h as they stand.
_copy
#define PI 3.14159265358979
struct rect { double width, height; };
_uncopy
*/

_v int shapes_measured = 0;

_f double circle_area(double radius) {
    shapes_measured++;
    return PI * radius * radius;
}

_f double rect_area(struct rect r) {
    shapes_measured++;
    return r.width * r.height;
}
