/* Prints the text the installed library loaded for code 0 from the data file
 * beside it, and SetChildInfo's result. */
#include <ZEDWIC_W.h>

#include <stdio.h>

int main(void) {
    printf("text 0: %s\n", VOLQUAD_GetErrorMsg(0));
    printf("SetChildInfo: %d\n", (int)SetChildInfo());
    return 0;
}
