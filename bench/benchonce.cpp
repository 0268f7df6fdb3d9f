// One load as the library does it when attached, portable so that the native
// benchmark and the one under Wine time the same code.
#include "benchonce.h"

#include "datafile.h"
#include "errmsg.h"

extern "C" BENCH_NOINLINE uint32_t BenchOnce_Load(const char *path) {
    return BenchOnce_LoadAs(path, DATAFILE_IMAGE_LIMIT);
}

extern "C" BENCH_NOINLINE uint32_t BenchOnce_LoadAs(const char *path, uint32_t imageLimit) {
    DataFile *file = DataFile_OpenAs(path, nullptr, 0, imageLimit);
    ErrMsg_Load(file);
    DataFile_Close(file);
    uint32_t texts = 0;
    for (const ErrMsgSlot *slot = ErrMsgTable; slot->key[0] != '\0'; ++slot) {
        texts += slot->text != nullptr && slot->text[0] != '\0' ? 1 : 0;
    }
    ErrMsg_Free();
    return texts;
}
