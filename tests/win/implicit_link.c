/* A C host linked against the import library: the public header compiles as
 * C, and every export resolves by name at load time. puts, not printf: no
 * variadic C runtime call (ARM64 Wine's C runtime does not take them). */
#include "ZEDWIC_W.h"

#include <stdio.h>

int main(void) {
    int failures = 0;
    const char *text = VOLQUAD_GetErrorMsg(0);
    /* No data file beside the library in the build tree: every text is empty. */
    if (text == NULL || text[0] != '\0') {
        puts("VOLQUAD_GetErrorMsg(0) should be empty");
        ++failures;
    }
    if (SetChildInfo() != 0) {
        puts("SetChildInfo should return 0");
        ++failures;
    }
    if (VOLQUAD_FixSetting("ZW No Such Printer", 0) != VOLQUAD_RESULT_UNAVAILABLE ||
        VOLQUAD_SettingExport(NULL, 0) != VOLQUAD_RESULT_UNAVAILABLE) {
        puts("unreachable printers should give VOLQUAD_RESULT_UNAVAILABLE");
        ++failures;
    }
    puts(failures == 0 ? "implicit link ok" : "implicit link FAILED");
    return failures;
}
