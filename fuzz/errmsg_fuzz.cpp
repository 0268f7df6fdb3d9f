// Fuzz target: the input is a whole data file. It is loaded twice, in image
// mode and in handle mode (the image's allocation failed through the fault
// seam); both must answer every code alike and hold the table the load model
// expects, and nothing may stay allocated or open. Any breach aborts.
#include "datafile.h"
#include "errmsg.h"
#include "faultyio.h"
#include "loadmodel.h"
#include "tempfile.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const int32_t kCodes[] = {-1, 0,  1,  2,  3,  4,  5,  6,  7,  8,         9,
                          10, 11, 12, 13, 14, 15, 16, 17, 99, INT32_MIN, INT32_MAX};

std::string g_dir;
std::string g_path;

void Fail(const char *what) {
    fprintf(stderr, "errmsg_fuzz: %s\n", what);
    abort();
}

struct Loaded {
    ModelTable table;
    std::vector<std::string> answers;
};

Loaded LoadAndLookUp(bool handleMode) {
    FaultPlan plan;
    plan.failAlloc = handleMode ? 2 : 0; // the reader's block is the first, its image the second
    FaultyIo_Install(plan);
    DataFile *file = DataFile_Open(g_path.c_str());
    if (file == nullptr) {
        Fail("the data file did not open");
    }
    if ((file->image == nullptr) != handleMode) {
        Fail("the reader is in the wrong mode");
    }
    ErrMsg_Load(file);
    DataFile_Close(file);

    Loaded loaded;
    loaded.table = Model_Snapshot();
    for (int32_t code : kCodes) {
        const char *text = VOLQUAD_GetErrorMsg(code);
        if (text == nullptr || strnlen(text, ERRMSG_TEXT_SIZE) == ERRMSG_TEXT_SIZE) {
            Fail("a lookup gave no NUL-terminated text");
        }
        loaded.answers.emplace_back(text);
    }
    ErrMsg_Free();
    const FaultCounts counts = FaultyIo_Counts();
    if (counts.blocks != 0 || counts.handles != 0) {
        Fail("a block or a handle was left behind");
    }
    FaultyIo_Remove();
    return loaded;
}

void RemoveDir() {
    TempDir_Remove(g_dir);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    g_dir = TempDir_Create("-fuzz");
    if (g_dir.empty()) {
        Fail("no temporary folder");
    }
    g_path = Path_Join(g_dir, "ZEDWIC_D.ZWX");
    atexit(RemoveDir);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::vector<uint8_t> bytes(data, data + size);
    if (!File_Write(g_path, bytes)) {
        Fail("cannot write the input to its file");
    }
    const Loaded image = LoadAndLookUp(false);
    const Loaded handle = LoadAndLookUp(true);
    if (image.answers != handle.answers || image.table != handle.table) {
        Fail("image mode and handle mode differ");
    }
    // Without faults a cycle in the entry chain changes nothing once it is
    // entered, so the model has exactly one answer.
    const ModelOutcome expected = Model_Load(bytes, FaultPlan());
    if (expected.endStates.size() != 1 || image.table != expected.endStates[0]) {
        fprintf(stderr, "loaded:   %s\nexpected: %s\n", Model_Describe(image.table).c_str(),
                Model_Describe(expected.endStates[0]).c_str());
        Fail("the table differs from the model's");
    }
    for (size_t i = 0; i < sizeof kCodes / sizeof kCodes[0]; ++i) {
        if (image.answers[i] != Model_Lookup(expected.endStates[0], kCodes[i])) {
            Fail("a lookup differs from the model's");
        }
    }
    return 0;
}
