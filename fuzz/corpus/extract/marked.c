/* Marked C source */
_copy
#define MAX 10
  indented copy line
_uncopy
_f int add(int a, int b) {
    return a + b;
}
	_v static int table[MAX][2] = { {1, 2} };
_v int n = 3; _v int m;
_f void call(void (*fn)(int x), int y = 2)
{
}
_F not a marker
_fx not a marker
_f
_v int a;_v int b;
_f char *name(char a[b[1]]);
