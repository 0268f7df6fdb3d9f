#include "zwhost_walk.h"

#include "wtext.h"
#include "zwhost_args.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

const char ZWHOST_WALK_CHILD[] = "--walk-child";

namespace {

enum WalkState : uint32_t {
    WALK_WAITING,  // not begun
    WALK_STARTED,  // live holds the step being taken
    WALK_WALKED,   // result holds the walk; the module is being released
    WALK_RELEASED, // done
};

// One printer's part of the mapping shared with the child.
struct WalkSlot {
    volatile uint32_t state;
    uint32_t nameOffset; // from the start of the mapping
    uint32_t nameLength;
    uint8_t loaded;
    uint8_t has[5];
    DriverModuleReport live; // written by the library as it goes
    DriverModuleReport result;
};

// The mapping: this header, the slots, then the names.
struct WalkShared {
    uint32_t count;
    int32_t exportIndex; // -1: all five
    uint32_t libraryError;
    volatile uint32_t current; // the slot the child is in
};

const size_t ZWHOST_OWN_NAME_UNITS = 32768;
const DWORD ZWHOST_POLL_MS = 50;
const uint64_t ZWHOST_SLOW_MS = 1000; // a multiple of the poll

WalkSlot *Slots(WalkShared *shared) {
    return reinterpret_cast<WalkSlot *>(shared + 1);
}

// The walk itself: the library's steps, then each of the five functions.
void WalkInto(WalkShared *shared, WalkSlot *slot) {
    const std::string printer(reinterpret_cast<const char *>(shared) + slot->nameOffset,
                              slot->nameLength);
    slot->state = WALK_STARTED;
    PlatformModule module = DriverModule_Find(printer.c_str(), &slot->live);
    slot->result = slot->live;
    if (module != nullptr) {
        slot->loaded = 1;
        bool stopped = false;
        for (int i = 0; i < 5; ++i) {
            DriverModuleReport step = slot->live;
            slot->has[i] =
                DriverModule_Function(module, ZWHOST_SETTING_EXPORTS[i], &step) != nullptr ? 1 : 0;
            const bool counts = shared->exportIndex < 0 || shared->exportIndex == i;
            if (counts && !stopped) {
                slot->result = step;
                stopped = step.step != DRIVERMODULE_STEP_REACHED;
            }
        }
    }
    MemoryBarrier();
    slot->state = WALK_WALKED;
    if (module != nullptr) {
        DriverModule_Free(module);
    }
    MemoryBarrier();
    slot->state = WALK_RELEASED;
}

std::wstring OwnPath() {
    std::vector<wchar_t> name(ZWHOST_OWN_NAME_UNITS, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    return std::wstring(name.data(), length < name.size() ? length : 0);
}

// Starts a child that walks the printers from slot first on; false with the
// error when it cannot be started.
bool StartChild(HANDLE mapping, uint32_t first, const std::string &library, HANDLE job,
                PROCESS_INFORMATION *process, DWORD *error) {
    const std::wstring self = OwnPath();
    std::wstring line = L"\"" + self + L"\" " + WText_Wide(ZWHOST_WALK_CHILD) + L" " +
                        std::to_wstring(reinterpret_cast<uintptr_t>(mapping)) + L" " +
                        std::to_wstring(first);
    if (!library.empty()) {
        line += L" \"" + WText_Wide(library) + L"\"";
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    if (self.empty() ||
        !CreateProcessW(self.c_str(), &line[0], nullptr, nullptr, TRUE,
                        CREATE_SUSPENDED | CREATE_NO_WINDOW, nullptr, nullptr, &startup, process)) {
        *error = self.empty() ? ERROR_FILENAME_EXCED_RANGE : GetLastError();
        return false;
    }
    if (job != nullptr) {
        AssignProcessToJobObject(job, process->hProcess);
    }
    ResumeThread(process->hThread);
    return true;
}

void TakeResult(const WalkShared *shared, const WalkSlot &slot, ZwHostWalk *walk) {
    walk->libraryError = shared->libraryError;
    walk->report = slot.state >= WALK_WALKED ? slot.result : slot.live;
    walk->loaded = slot.loaded != 0;
    for (int i = 0; i < 5; ++i) {
        walk->has[i] = slot.has[i] != 0;
    }
}

} // namespace

std::vector<ZwHostWalk> ZwHost_WalkAll(const std::vector<std::string> &printers,
                                       const char *exportName, const std::string &library,
                                       unsigned seconds, ZwHostWalkSlow slow, void *context) {
    const uint32_t count = static_cast<uint32_t>(printers.size());
    std::vector<ZwHostWalk> walks(count, ZwHostWalk());
    size_t size = sizeof(WalkShared) + count * sizeof(WalkSlot);
    for (const std::string &printer : printers) {
        size += printer.size() + 1;
    }
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, &inherit, PAGE_READWRITE,
                                        static_cast<DWORD>(static_cast<uint64_t>(size) >> 32),
                                        static_cast<DWORD>(size), nullptr);
    WalkShared *shared =
        mapping != nullptr
            ? static_cast<WalkShared *>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, size))
            : nullptr;
    if (shared == nullptr) {
        const DWORD error = GetLastError();
        for (ZwHostWalk &walk : walks) {
            walk.noChild = true;
            walk.childError = error;
        }
        if (mapping != nullptr) {
            CloseHandle(mapping);
        }
        return walks;
    }
    memset(shared, 0, size);
    shared->count = count;
    shared->exportIndex = -1;
    for (int i = 0; i < 5; ++i) {
        if (exportName != nullptr && strcmp(exportName, ZWHOST_SETTING_EXPORTS[i]) == 0) {
            shared->exportIndex = i;
        }
    }
    size_t offset = sizeof(WalkShared) + count * sizeof(WalkSlot);
    for (uint32_t i = 0; i < count; ++i) {
        Slots(shared)[i].nameOffset = static_cast<uint32_t>(offset);
        Slots(shared)[i].nameLength = static_cast<uint32_t>(printers[i].size());
        memcpy(reinterpret_cast<char *>(shared) + offset, printers[i].data(), printers[i].size());
        offset += printers[i].size() + 1;
    }
    // The children end with zwhost, whatever happens to zwhost.
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    if (job != nullptr) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    }
    const uint64_t limit = static_cast<uint64_t>(seconds) * 1000;
    uint32_t first = 0;
    while (first < count) {
        PROCESS_INFORMATION process = {};
        DWORD error = 0;
        shared->current = first;
        if (!StartChild(mapping, first, library, job, &process, &error)) {
            for (uint32_t i = first; i < count; ++i) {
                walks[i].noChild = true;
                walks[i].childError = error;
            }
            break;
        }
        // Each printer has the limit to itself: the clock restarts when the
        // child moves on.
        uint32_t watched = first;
        uint64_t spent = 0;
        bool ended = false;
        while (!ended && spent < limit) {
            ended = WaitForSingleObject(process.hProcess, ZWHOST_POLL_MS) == WAIT_OBJECT_0;
            MemoryBarrier();
            if (shared->current != watched) {
                watched = shared->current;
                spent = 0;
            } else {
                spent += ZWHOST_POLL_MS;
                if (slow != nullptr && spent == ZWHOST_SLOW_MS && watched < count) {
                    slow(watched, Slots(shared)[watched].live.step, context);
                }
            }
        }
        if (!ended) {
            TerminateProcess(process.hProcess, ERROR_TIMEOUT);
            WaitForSingleObject(process.hProcess, 5000);
        }
        DWORD exitCode = 0;
        GetExitCodeProcess(process.hProcess, &exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        MemoryBarrier();
        const uint32_t stop =
            ended && exitCode == 0 && shared->current >= count ? count : shared->current;
        for (uint32_t i = first; i < stop && i < count; ++i) {
            TakeResult(shared, Slots(shared)[i], &walks[i]);
        }
        if (stop >= count) {
            break;
        }
        const WalkSlot &slot = Slots(shared)[stop];
        ZwHostWalk &walk = walks[stop];
        TakeResult(shared, slot, &walk);
        walk.exitCode = exitCode;
        if (slot.state >= WALK_WALKED) {
            walk.releaseHung = !ended;
            walk.crashed = ended; // ended while releasing the module
        } else {
            walk.hung = !ended;
            walk.crashed = ended;
        }
        first = stop + 1;
    }
    if (job != nullptr) {
        CloseHandle(job);
    }
    UnmapViewOfFile(shared);
    CloseHandle(mapping);
    return walks;
}

ZwHostWalk ZwHost_Walk(const std::string &printer, const char *exportName,
                       const std::string &library, unsigned seconds, ZwHostWalkSlow slow,
                       void *context) {
    return ZwHost_WalkAll(std::vector<std::string>(1, printer), exportName, library, seconds, slow,
                          context)[0];
}

int ZwHost_WalkChild(const std::vector<std::string> &words) {
    if (words.size() < 3 || words.size() > 4) {
        return 2;
    }
    char *end = nullptr;
    const unsigned long long handle = strtoull(words[1].c_str(), &end, 10);
    char *firstEnd = nullptr;
    const unsigned long first = strtoul(words[2].c_str(), &firstEnd, 10);
    if (end == words[1].c_str() || *end != '\0' || firstEnd == words[2].c_str() ||
        *firstEnd != '\0') {
        return 2;
    }
    HANDLE mapping = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(handle));
    WalkShared *shared =
        static_cast<WalkShared *>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    if (shared == nullptr) {
        return 2;
    }
    // As a host has it: the library loaded before any settings call.
    if (words.size() == 4 && LoadLibraryW(WText_Wide(words[3]).c_str()) == nullptr) {
        shared->libraryError = GetLastError();
    }
    for (uint32_t i = static_cast<uint32_t>(first); i < shared->count; ++i) {
        shared->current = i;
        MemoryBarrier();
        WalkInto(shared, &Slots(shared)[i]);
    }
    shared->current = shared->count;
    UnmapViewOfFile(shared);
    return 0;
}
