#include <stddef.h>

/* ---- String functions. Compiled with builtins off (see the toolchain file)
 * so that these loops are not turned back into calls to themselves. */
void *__cdecl memcpy(void *dest, const void *src, size_t n) {
    unsigned char *d = (unsigned char *)dest;
    const unsigned char *s = (const unsigned char *)src;
    while (n-- > 0) {
        *d++ = *s++;
    }
    return dest;
}

void *__cdecl memmove(void *dest, const void *src, size_t n) {
    unsigned char *d = (unsigned char *)dest;
    const unsigned char *s = (const unsigned char *)src;
    if (d < s) {
        while (n-- > 0) {
            *d++ = *s++;
        }
    } else {
        while (n-- > 0) {
            d[n] = s[n];
        }
    }
    return dest;
}

void *__cdecl memset(void *dest, int c, size_t n) {
    unsigned char *d = (unsigned char *)dest;
    while (n-- > 0) {
        *d++ = (unsigned char)c;
    }
    return dest;
}

int __cdecl memcmp(const void *a, const void *b, size_t n) {
    const unsigned char *x = (const unsigned char *)a;
    const unsigned char *y = (const unsigned char *)b;
    for (; n > 0; --n, ++x, ++y) {
        if (*x != *y) {
            return *x < *y ? -1 : 1;
        }
    }
    return 0;
}

void *__cdecl memchr(const void *p, int c, size_t n) {
    const unsigned char *s = (const unsigned char *)p;
    for (; n > 0; --n, ++s) {
        if (*s == (unsigned char)c) {
            return (void *)s;
        }
    }
    return 0;
}

size_t __cdecl strlen(const char *s) {
    const char *e = s;
    while (*e != '\0') {
        ++e;
    }
    return (size_t)(e - s);
}

char *__cdecl strncpy(char *dest, const char *src, size_t n) {
    size_t i = 0;
    for (; i < n && src[i] != '\0'; ++i) {
        dest[i] = src[i];
    }
    for (; i < n; ++i) {
        dest[i] = '\0';
    }
    return dest;
}

int __cdecl strcmp(const char *a, const char *b) {
    while (*a != '\0' && *a == *b) {
        ++a;
        ++b;
    }
    return (unsigned char)*a < (unsigned char)*b ? -1 : (*a != *b);
}
