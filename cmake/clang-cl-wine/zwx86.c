/* x86 only: the helpers that code compiled for x86 calls and the C runtime
 * provides: _chkstk (the stack probe for frames of a page or more) and
 * _aulldiv (unsigned 64-bit division). Both take their arguments in the
 * runtime's own way, hence the assembly. */
#ifdef _M_IX86

/* Unsigned 64-bit division by shifts and subtractions: no division here, so
 * no call back into _aulldiv. */
static unsigned __int64 __cdecl zwcrt_udiv64(unsigned __int64 n, unsigned __int64 d) {
    unsigned __int64 q = 0;
    unsigned __int64 r = 0;
    int bit;
    if (d == 0) {
        __fastfail(7); /* FAST_FAIL_FATAL_APP_EXIT: as the CPU's divide error */
    }
    for (bit = 63; bit >= 0; --bit) {
        r = (r << 1) | ((n >> bit) & 1u);
        if (r >= d) {
            r -= d;
            q |= (unsigned __int64)1 << bit;
        }
    }
    return q;
}

/* Dividend and divisor on the stack, the quotient in EDX:EAX; removes its
 * 16 bytes of arguments. */
__declspec(naked) void _aulldiv(void) {
    __asm {
        push dword ptr [esp + 16]
        push dword ptr [esp + 16]
        push dword ptr [esp + 16]
        push dword ptr [esp + 16]
        call zwcrt_udiv64
        add esp, 16
        ret 16
    }
}

/* EAX bytes to take from the stack: touches each page on the way down (the
 * guard page grows the stack one page at a time), moves ESP, keeps ECX. */
__declspec(naked) void _chkstk(void) {
    __asm {
        push ecx
        lea ecx, [esp + 8]
        cmp eax, 1000h
        jb last
    probe:
        sub ecx, 1000h
        test dword ptr [ecx], ecx
        sub eax, 1000h
        cmp eax, 1000h
        ja probe
    last:
        sub ecx, eax
        test dword ptr [ecx], ecx
        lea eax, [esp + 4]
        mov esp, ecx
        mov ecx, [eax - 4]
        push dword ptr [eax]
        sub eax, esp
        ret
    }
}

#else
typedef int zwcrt_x86_only; /* nothing on other architectures */
#endif
