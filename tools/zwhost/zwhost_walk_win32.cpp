#include "zwhost_walk.h"

#include "wtext.h"
#include "zwhost_args.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

const char ZWHOST_WALK_CHILD[] = "--walk-child";

namespace {

enum WalkState : uint32_t {
    WALK_STARTED,  // live holds the step being taken
    WALK_WALKED,   // result holds the walk; the module is being released
    WALK_RELEASED, // done
};

// The mapping shared with the child; the printer's name follows it.
struct WalkShared {
    volatile uint32_t state;
    int32_t exportIndex; // -1: all five
    uint32_t nameLength;
    uint32_t libraryError;
    DriverModuleReport live; // written by the library as it goes
    DriverModuleReport result;
    uint8_t loaded;
    uint8_t has[5];
};

const size_t ZWHOST_OWN_NAME_UNITS = 32768;

// The walk itself, as zwhost ran it in its own process before: the library's
// steps, then each of the five functions.
void WalkInto(WalkShared *shared, const char *printer) {
    PlatformModule module = DriverModule_Find(printer, &shared->live);
    shared->result = shared->live;
    if (module != nullptr) {
        shared->loaded = 1;
        bool stopped = false;
        for (int i = 0; i < 5; ++i) {
            DriverModuleReport step = shared->live;
            shared->has[i] =
                DriverModule_Function(module, ZWHOST_SETTING_EXPORTS[i], &step) != nullptr ? 1 : 0;
            const bool counts = shared->exportIndex < 0 || shared->exportIndex == i;
            if (counts && !stopped) {
                shared->result = step;
                stopped = step.step != DRIVERMODULE_STEP_REACHED;
            }
        }
    }
    MemoryBarrier();
    shared->state = WALK_WALKED;
    if (module != nullptr) {
        DriverModule_Free(module);
    }
    MemoryBarrier();
    shared->state = WALK_RELEASED;
}

std::wstring OwnPath() {
    std::vector<wchar_t> name(ZWHOST_OWN_NAME_UNITS, L'\0');
    const DWORD length =
        GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    return std::wstring(name.data(), length < name.size() ? length : 0);
}

ZwHostWalk NoChild(uint32_t error) {
    ZwHostWalk walk = {};
    walk.noChild = true;
    walk.childError = error;
    return walk;
}

} // namespace

ZwHostWalk ZwHost_Walk(const std::string &printer, const char *exportName,
                       const std::string &library, unsigned seconds) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    const size_t size = sizeof(WalkShared) + printer.size() + 1;
    HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, &inherit, PAGE_READWRITE, 0,
                                        static_cast<DWORD>(size), nullptr);
    if (mapping == nullptr) {
        return NoChild(GetLastError());
    }
    WalkShared *shared =
        static_cast<WalkShared *>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, size));
    if (shared == nullptr) {
        const DWORD error = GetLastError();
        CloseHandle(mapping);
        return NoChild(error);
    }
    memset(shared, 0, size);
    shared->exportIndex = -1;
    for (int i = 0; i < 5; ++i) {
        if (exportName != nullptr && strcmp(exportName, ZWHOST_SETTING_EXPORTS[i]) == 0) {
            shared->exportIndex = i;
        }
    }
    shared->nameLength = static_cast<uint32_t>(printer.size());
    memcpy(reinterpret_cast<char *>(shared + 1), printer.data(), printer.size());

    const std::wstring self = OwnPath();
    std::wstring line = L"\"" + self + L"\" " + WText_Wide(ZWHOST_WALK_CHILD) + L" " +
                        std::to_wstring(reinterpret_cast<uintptr_t>(mapping));
    if (!library.empty()) {
        line += L" \"" + WText_Wide(library) + L"\"";
    }
    // The child ends with zwhost, whatever happens to zwhost.
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    if (job != nullptr) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    ZwHostWalk walk = {};
    if (self.empty() || !CreateProcessW(self.c_str(), &line[0], nullptr, nullptr, TRUE,
                                        CREATE_SUSPENDED | CREATE_NO_WINDOW, nullptr, nullptr,
                                        &startup, &process)) {
        walk = NoChild(self.empty() ? ERROR_FILENAME_EXCED_RANGE : GetLastError());
    } else {
        if (job != nullptr) {
            AssignProcessToJobObject(job, process.hProcess);
        }
        ResumeThread(process.hThread);
        const DWORD limit = seconds > 0x7FFFFFFFu / 1000 ? INFINITE - 1 : seconds * 1000;
        const DWORD waited = WaitForSingleObject(process.hProcess, limit);
        if (waited != WAIT_OBJECT_0) {
            TerminateProcess(process.hProcess, ERROR_TIMEOUT);
            WaitForSingleObject(process.hProcess, 5000);
        }
        DWORD exitCode = 0;
        GetExitCodeProcess(process.hProcess, &exitCode);
        MemoryBarrier();
        const uint32_t state = shared->state;
        walk.libraryError = shared->libraryError;
        walk.exitCode = exitCode;
        if (state >= WALK_WALKED) {
            walk.report = shared->result;
            walk.loaded = shared->loaded != 0;
            for (int i = 0; i < 5; ++i) {
                walk.has[i] = shared->has[i] != 0;
            }
            walk.releaseHung = state == WALK_WALKED && waited != WAIT_OBJECT_0;
        } else {
            walk.report = shared->live;
            walk.hung = waited != WAIT_OBJECT_0;
            walk.crashed = !walk.hung;
        }
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    if (job != nullptr) {
        CloseHandle(job);
    }
    UnmapViewOfFile(shared);
    CloseHandle(mapping);
    return walk;
}

int ZwHost_WalkChild(const std::vector<std::string> &words) {
    if (words.size() < 2 || words.size() > 3) {
        return 2;
    }
    char *end = nullptr;
    const unsigned long long handle = strtoull(words[1].c_str(), &end, 10);
    if (end == words[1].c_str() || *end != '\0') {
        return 2;
    }
    HANDLE mapping = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(handle));
    WalkShared *shared =
        static_cast<WalkShared *>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    if (shared == nullptr) {
        return 2;
    }
    // As a host has it: the library loaded before any settings call.
    if (words.size() == 3 && LoadLibraryW(WText_Wide(words[2]).c_str()) == nullptr) {
        shared->libraryError = GetLastError();
    }
    const std::string printer(reinterpret_cast<const char *>(shared + 1), shared->nameLength);
    WalkInto(shared, printer.c_str());
    UnmapViewOfFile(shared);
    return 0;
}
