/* Wine's math.h lacks functions that Visual Studio's math.h declares: the
 * long double set, and erfc and nexttoward for double and float. libc++'s
 * math.h (reached from <string> through <compare>) defines inline overloads
 * that name them, so they must be declared. Nothing in this project calls
 * them; the long double ones are defined nowhere, so a call would fail at
 * link time rather than run a stand-in. */
#ifndef ZWCRT_MATH_H
#define ZWCRT_MATH_H

#include_next <math.h>

#ifdef __cplusplus
extern "C" {
#endif

long double __cdecl acoshl(long double);
long double __cdecl acosl(long double);
long double __cdecl asinhl(long double);
long double __cdecl asinl(long double);
long double __cdecl atan2l(long double, long double);
long double __cdecl atanhl(long double);
long double __cdecl atanl(long double);
long double __cdecl cbrtl(long double);
long double __cdecl ceill(long double);
long double __cdecl coshl(long double);
long double __cdecl cosl(long double);
double __cdecl erfc(double);
float __cdecl erfcf(float);
long double __cdecl erfcl(long double);
long double __cdecl erfl(long double);
long double __cdecl exp2l(long double);
long double __cdecl expl(long double);
long double __cdecl expm1l(long double);
long double __cdecl fabsl(long double);
long double __cdecl fdiml(long double, long double);
long double __cdecl floorl(long double);
long double __cdecl fmaxl(long double, long double);
long double __cdecl fminl(long double, long double);
long double __cdecl fmodl(long double, long double);
long double __cdecl frexpl(long double, int *);
long double __cdecl hypotl(long double, long double);
int __cdecl ilogbl(long double);
long double __cdecl ldexpl(long double, int);
long double __cdecl lgammal(long double);
long double __cdecl log10l(long double);
long double __cdecl log1pl(long double);
long double __cdecl log2l(long double);
long double __cdecl logbl(long double);
long double __cdecl logl(long double);
long double __cdecl modfl(long double, long double *);
long double __cdecl nearbyintl(long double);
long double __cdecl nextafterl(long double, long double);
double __cdecl nexttoward(double, long double);
float __cdecl nexttowardf(float, long double);
long double __cdecl nexttowardl(long double, long double);
long double __cdecl powl(long double, long double);
long double __cdecl remainderl(long double, long double);
long double __cdecl remquol(long double, long double, int *);
long double __cdecl scalblnl(long double, long);
long double __cdecl scalbnl(long double, int);
long double __cdecl sinhl(long double);
long double __cdecl sinl(long double);
long double __cdecl sqrtl(long double);
long double __cdecl tanhl(long double);
long double __cdecl tanl(long double);
long double __cdecl tgammal(long double);

#ifdef __cplusplus
}
#endif

#endif
