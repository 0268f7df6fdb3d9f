/* Prints the texts the installed library loaded from the data file beside it,
 * one line per code (0 to 15, then 99 for the fallback text), and
 * SetChildInfo's result, and the header's version. */
#include <ZEDWIC_W.h>

#include <stdio.h>

int main(void) {
    int code;
    for (code = 0; code <= 16; ++code) {
        const int shown = code == 16 ? 99 : code;
        printf("text %d: %s\n", shown, VOLQUAD_GetErrorMsg(shown));
    }
    printf("SetChildInfo: %d\n", (int)SetChildInfo());
    printf("header version: %s\n", ZEDWIC_W_VERSION_STRING);
    return 0;
}
