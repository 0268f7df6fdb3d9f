#include "loadrun.h"

#include "datafile.h"
#include "errmsg.h"

LoadRun LoadRun_Do(const std::string &path, const FaultPlan &plan) {
    FaultyIoScope faults(plan);
    LoadRun run{};
    DataFile *file = DataFile_Open(path.c_str());
    run.opened = file != nullptr;
    run.imageMode = file != nullptr && file->image != nullptr;
    ErrMsg_Load(file);
    DataFile_Close(file);
    run.table = Model_Snapshot();
    ErrMsg_Free();
    run.counts = FaultyIo_Counts();
    return run;
}
