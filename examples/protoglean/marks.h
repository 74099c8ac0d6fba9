/* The markers that protoglean looks for; to the compiler they are nothing. */
#define _f
#define _v
