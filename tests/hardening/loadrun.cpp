#include "loadrun.h"

#include "datafile.h"
#include "errmsg.h"
#include "zwxwalk.h"

#include <algorithm>
#include <cstring>

namespace {

TableState Snapshot() {
    TableState table;
    for (size_t slot = 0; slot < TABLE_SLOTS; ++slot) {
        const char *text = ErrMsgTable[slot].text;
        table.loaded[slot] = text != nullptr;
        if (text != nullptr) {
            table.text[slot].assign(text, strnlen(text, ERRMSG_TEXT_SIZE));
        }
    }
    return table;
}

bool WalkStopsReading(WalkChainEnd end) {
    return end == WALK_CHAIN_OUTSIDE || end == WALK_CHAIN_CUT_SHORT ||
           end == WALK_CHAIN_INTO_HEADER;
}

} // namespace

bool operator==(const TableState &a, const TableState &b) {
    return a.loaded == b.loaded && a.text == b.text;
}

bool operator!=(const TableState &a, const TableState &b) {
    return !(a == b);
}

std::string TableState_Describe(const TableState &table) {
    std::string out;
    for (size_t slot = 0; slot < TABLE_SLOTS; ++slot) {
        if (table.loaded[slot]) {
            out +=
                std::string(ErrMsgTable[slot].key) + "=\"" + table.text[slot].substr(0, 40) + "\" ";
        }
    }
    return out.empty() ? "(empty)" : out;
}

LoadRun LoadRun_Do(const std::string &path, const std::vector<uint8_t> &bytes, ReadMode mode,
                   const FaultPlan &plan) {
    FaultyIoScope faults(plan);
    LoadRun run{};
    DataFile *file = ReadMode_Open(mode, path, bytes);
    run.opened = file != nullptr;
    run.imageMode = file != nullptr && file->image != nullptr;
    ErrMsg_Load(file);
    DataFile_Close(file);
    run.table = Snapshot();
    ErrMsg_Free();
    run.counts = FaultyIo_Counts();
    return run;
}

TextChoices LoadRun_Choices(const std::vector<uint8_t> &bytes) {
    TextChoices choices{};
    for (std::set<std::string> &texts : choices.texts) {
        texts.insert("");
    }
    DataFile *file =
        DataFile_OpenAs(nullptr, bytes.data(), static_cast<uint32_t>(bytes.size()), UINT32_MAX);
    const WalkFile walk = Walk_File(file);
    DataFile_Close(file);
    for (const WalkSection &section : walk.sections) {
        if (!section.nameTerminated || !DataFile_NamesEqual(section.name.c_str(), "QORBA_ErrMsg")) {
            continue;
        }
        choices.any = choices.any || WalkStopsReading(section.entriesEnd);
        for (const WalkEntry &entry : section.entries) {
            for (size_t slot = 0; slot < TABLE_SLOTS; ++slot) {
                if (DataFile_NamesEqual(ErrMsgTable[slot].key, entry.key.bytes.c_str())) {
                    choices.texts[slot].insert(entry.value.bytes);
                }
            }
        }
    }
    return choices;
}

bool LoadRun_FileHolds(const std::vector<uint8_t> &bytes, const std::string &text) {
    if (text.empty()) {
        return true;
    }
    for (auto at = bytes.begin();; ++at) {
        at = std::search(at, bytes.end(), text.begin(), text.end());
        if (at == bytes.end()) {
            return false;
        }
        const auto after = at + static_cast<std::ptrdiff_t>(text.size());
        if (after == bytes.end() || *after == 0) {
            return true;
        }
    }
}
