// zwx: authors and inspects the library's data files.
#include "zwx_run.h"

int main(int argc, char **argv) {
    return Zwx_Run(argc, argv);
}
