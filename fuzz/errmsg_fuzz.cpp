// Fuzz target: the input is a whole data file, read straight from memory. It
// is loaded in image mode, in handle mode over the same bytes, and in handle
// mode with the image's allocation failed through the fault seam; all must
// answer every code alike, every text must end within its block, and nothing
// may stay allocated or open. Any breach aborts.
#include "datafile.h"
#include "errmsg.h"
#include "faultyio.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const int32_t kCodes[] = {-1, 0,  1,  2,  3,  4,  5,  6,  7,  8,         9,
                          10, 11, 12, 13, 14, 15, 16, 17, 99, INT32_MIN, INT32_MAX};

void Fail(const char *what) {
    fprintf(stderr, "errmsg_fuzz: %s\n", what);
    abort();
}

// Every slot's state and every lookup's answer after one load.
std::vector<std::string> LoadAndLookUp(const uint8_t *data, uint32_t size, uint32_t imageLimit,
                                       uint32_t failAlloc) {
    FaultPlan plan;
    plan.failAlloc = failAlloc;
    FaultyIo_Install(plan);
    DataFile *file = DataFile_OpenAs(nullptr, data, size, imageLimit);
    if (file == nullptr) {
        Fail("the bytes did not open");
    }
    ErrMsg_Load(file);
    DataFile_Close(file);

    std::vector<std::string> seen;
    for (const ErrMsgSlot *slot = ErrMsgTable; slot->key[0] != '\0'; ++slot) {
        if (slot->text != nullptr && strnlen(slot->text, ERRMSG_TEXT_SIZE) == ERRMSG_TEXT_SIZE) {
            Fail("a text runs past its block");
        }
        seen.emplace_back(slot->text != nullptr ? "=" + std::string(slot->text) : "(none)");
    }
    for (int32_t code : kCodes) {
        const char *text = VOLQUAD_GetErrorMsg(code);
        if (text == nullptr) {
            Fail("a lookup gave no text");
        }
        seen.emplace_back(text);
    }
    ErrMsg_Free();
    const FaultCounts counts = FaultyIo_Counts();
    if (counts.blocks != 0 || counts.handles != 0) {
        Fail("a block or a handle was left behind");
    }
    FaultyIo_Remove();
    return seen;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size > UINT32_MAX) {
        return 0;
    }
    const uint32_t length = static_cast<uint32_t>(size);
    const std::vector<std::string> image = LoadAndLookUp(data, length, UINT32_MAX, 0);
    // The reader's block is the first allocation, its image the second.
    const std::vector<std::string> fallback = LoadAndLookUp(data, length, UINT32_MAX, 2);
    const std::vector<std::string> handle = LoadAndLookUp(data, length, 0, 0);
    if (image != handle || image != fallback) {
        Fail("image mode and handle mode differ");
    }
    return 0;
}
