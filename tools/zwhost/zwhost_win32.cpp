// zwhost: loads ZEDWIC_W.dll the way a host program does and shows what it
// answers, and walks a printer through the library's own steps to say why a
// settings call gives 99. See usage below.
#include "ZEDWIC_W.h"
#include "drvmod.h"
#include "wtext.h"
#include "zw_version.h"
#include "zwhost_args.h"
#include "zwhost_explain.h"
#include "zwhost_json.h"
#include "zwhost_msg.h"
#include "zwhost_walk.h"

#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char ZWHOST_USAGE[] =
    "usage: zwhost [OPTIONS] msg [CODE...]\n"
    "       zwhost [OPTIONS] call EXPORT PRINTER VALUE\n"
    "       zwhost [OPTIONS] explain PRINTER [EXPORT]\n"
    "       zwhost [OPTIONS] printers\n"
    "       zwhost [OPTIONS] report\n"
    "       zwhost --help | --version\n"
    "\n"
    "  msg       print the message text for each CODE (default: 0 to 16 and 99), the library\n"
    "            and data file they come from, and why any text is empty\n"
    "  call      call a settings export (SettingExport, SettingImport, PersonalInfoImport,\n"
    "            DefaultSetting, FixSetting) for PRINTER with VALUE as a host does; print its\n"
    "            result, the last error the host sees after it, and whether the function of\n"
    "            ZEDWIC_U.DLL ran or at which step the library stopped. The call is real: the\n"
    "            driver applies, imports or exports settings as it would for a host\n"
    "  explain   walk PRINTER through the library's steps to its ZEDWIC_U.DLL (and EXPORT),\n"
    "            say where a settings call stops and the last error the host sees there\n"
    "  printers  list installed printers, where each one's ZEDWIC_U.DLL lies, whether it\n"
    "            loads and which settings functions it has\n"
    "  report    what a support ticket needs in one run: zwhost's and the library's versions\n"
    "            and paths, the process's bitness, the data file and its texts, and every\n"
    "            printer with every export's verdict\n"
    "\n"
    "options:\n"
    "  --dll PATH     the ZEDWIC_W.dll to examine (default: the one beside zwhost, or in\n"
    "                 ..\\bin as installed from the package)\n"
    "  --json         one JSON object on standard output instead of text\n"
    "  --timeout S    seconds the walk of one printer may take (default 10, at most 3600)\n"
    "\n"
    "explain, printers, report and call's verdict run the library's own walk, built into\n"
    "zwhost: each step is the one a settings call takes. The walk runs in a child zwhost\n"
    "process that has the library loaded, as a host has: the load step runs ZEDWIC_U.DLL's\n"
    "DllMain there, and a module that hangs or crashes costs that printer only.\n"
    "\n"
    "exit status (every command):\n"
    "  0  nothing wrong found\n"
    "  1  a fault found: an empty text (msg), a result of 99 (call), a walk that stops,\n"
    "     hangs or crashes (explain), a printer whose settings calls give 99 for a reason\n"
    "     other than having no ZEDWIC_U.DLL at all (printers, report), a printer name\n"
    "     outside the system code page\n"
    "  2  bad command line\n"
    "  3  the library cannot be loaded or lacks an export (msg, call, report; explain and\n"
    "     printers when --dll names it)\n"
    "  4  the output cannot be written\n";

const int ZWHOST_EXIT_OK = 0;
const int ZWHOST_EXIT_FAULT = 1;
const int ZWHOST_EXIT_USAGE = 2;
const int ZWHOST_EXIT_LIBRARY = 3;
const int ZWHOST_EXIT_OUTPUT = 4;

// Set before a call, as a host's test does, so that a call that sets no last
// error shows as such.
const DWORD ZWHOST_SENTINEL_ERROR = 0xDEADBEEF;

const size_t ZWHOST_OWN_NAME_UNITS = 32768;
const unsigned ZWHOST_DEFAULT_TIMEOUT = 10;
const int32_t ZWHOST_MAX_TIMEOUT = 3600;

// Every write is checked: output that cannot be written is a failure, never
// a silent success.
bool g_outputFailed = false;

void Out(const std::string &text) {
    if (!text.empty() && fwrite(text.data(), 1, text.size(), stdout) != text.size()) {
        g_outputFailed = true;
    }
}

void OutFlush() {
    if (fflush(stdout) != 0) {
        g_outputFailed = true;
    }
}

void Err(const std::string &text) {
    fputs(text.c_str(), stderr);
}

struct Args {
    std::vector<std::wstring> wide; // as given
    std::vector<std::string> utf8;  // the same words as UTF-8
};

struct Options {
    bool dllGiven;
    std::string dll;
    bool json;
    unsigned timeout;
};

// The library zwhost examines: the path, and its handle when loaded here.
struct Library {
    std::string path;
    std::string problem; // why it is not loaded
    HMODULE module;
    std::string version; // its file version, "" when it has none
    bool forWalk;        // named for the walk's process only, not loaded here
};

std::string FolderOf(const std::string &path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool IsFile(const std::string &path) {
    const DWORD attributes = GetFileAttributesW(WText_Wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string OwnPath() {
    std::vector<wchar_t> name(ZWHOST_OWN_NAME_UNITS, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, name.data(), MAX_PATH);
    std::string self;
    if (length == 0 || length >= MAX_PATH ||
        !WText_ToUtf8(std::wstring(name.data(), length), &self)) {
        return std::string();
    }
    return self;
}

// ZEDWIC_W.dll beside zwhost, or as installed from the package (tools\ beside
// bin\). False, with the reason in *why, when zwhost's own name is cut: a cut
// name is a parent folder's, whose DLL is not the one meant.
bool DefaultDll(std::string *dll, std::string *why) {
    const std::string self = OwnPath();
    if (self.empty()) {
        *why = "zwhost's own path is longer than 259 characters, so the folder it lies in cannot "
               "be had whole (a cut name names a parent folder): move zwhost and ZEDWIC_W.dll to "
               "a folder with a shorter path, or name the library with --dll";
        return false;
    }
    const std::string folder = FolderOf(self);
    *dll = folder + "ZEDWIC_W.dll";
    const std::string tools = "\\tools\\";
    if (!IsFile(*dll) && folder.size() > tools.size() &&
        _stricmp(folder.substr(folder.size() - tools.size()).c_str(), tools.c_str()) == 0) {
        const std::string installed =
            folder.substr(0, folder.size() - tools.size() + 1) + "bin\\ZEDWIC_W.dll";
        if (IsFile(installed)) {
            *dll = installed;
        }
    }
    return true;
}

// "1.4.0", from the file's version resource; empty when it has none.
std::string FileVersion(const std::string &path) {
    const std::wstring wide = WText_Wide(path);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(wide.c_str(), &ignored);
    if (size == 0) {
        return std::string();
    }
    std::vector<BYTE> block(size, 0);
    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT length = 0;
    if (!GetFileVersionInfoW(wide.c_str(), 0, size, block.data()) ||
        !VerQueryValueW(block.data(), L"\\", reinterpret_cast<void **>(&fixed), &length) ||
        fixed == nullptr || length < sizeof *fixed) {
        return std::string();
    }
    return std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
           std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
           std::to_string(HIWORD(fixed->dwFileVersionLS));
}

std::string ZwHostVersion() {
    return std::to_string(ZW_VERSION_MAJOR) + "." + std::to_string(ZW_VERSION_MINOR) + "." +
           std::to_string(ZW_VERSION_PATCH);
}

// The library named by --dll or found by default, loaded when load is set.
Library FindLibrary(const Options &options, bool load) {
    Library library = {};
    std::string why;
    if (options.dllGiven) {
        library.path = options.dll;
    } else if (!DefaultDll(&library.path, &why)) {
        library.problem = why;
        return library;
    }
    std::wstring wide;
    if (!WText_FromUtf8(library.path, &wide)) {
        library.problem = "cannot load " + library.path + ": the name is not valid text";
        return library;
    }
    if (!load) {
        library.forWalk = true;
        if (!IsFile(library.path)) {
            library.problem = "there is no file " + library.path;
        }
        library.version = FileVersion(library.path);
        return library;
    }
    library.module = LoadLibraryW(wide.c_str());
    if (library.module == nullptr) {
        const DWORD error = GetLastError();
        library.problem = "cannot load " + library.path + ": " +
                          ZwHost_WhyNotLoaded(library.path, error) + "; error " +
                          ZwHost_SystemError(error);
        return library;
    }
    library.version = FileVersion(library.path);
    return library;
}

template <typename Fn> Fn Resolve(const Library &library, const char *name, std::string *problem) {
    FARPROC proc = GetProcAddress(library.module, name);
    if (proc == nullptr && problem->empty()) {
        *problem = library.path + " does not export " + name +
                   ": it is not the library, or a damaged copy of it";
    }
    return reinterpret_cast<Fn>(reinterpret_cast<void *>(proc));
}

void JsonError(JsonWriter *json, uint32_t error) {
    Json_BeginObject(json);
    Json_Field(json, "number", static_cast<int64_t>(error));
    Json_Field(json, "text", ZwHost_SystemError(error));
    Json_EndObject(json);
}

void JsonLibrary(JsonWriter *json, const Library &library) {
    Json_Key(json, "library");
    Json_BeginObject(json);
    Json_Field(json, "path", library.path);
    // Loaded here, or (explain, printers) there to load in the walk's process.
    Json_Field(json, "loaded",
               library.module != nullptr || (library.forWalk && library.problem.empty()));
    Json_Field(json, "problem", library.problem.empty() ? nullptr : library.problem.c_str());
    Json_Field(json, "version", library.version.empty() ? nullptr : library.version.c_str());
    Json_Field(json, "sameVersionAsZwhost", library.version == ZwHostVersion());
    Json_EndObject(json);
}

std::string CodePageWords() {
    return "the system code page (" + std::to_string(GetACP()) + ")";
}

int LibraryFailed(const Library &library, const std::string &problem, const char *command,
                  const Options &options);

// ---- the walk of a printer, as text and JSON ----

struct StepView {
    int number;
    std::string label;
    std::string state; // "ok", "stops", "hangs", "crashed"
    std::string text;
};

struct PrinterView {
    std::string name; // UTF-8
    bool inCodePage;
    ZwHostWalk walk;
    const char *exportName; // null: all five
    std::vector<StepView> steps;
    std::string state; // "reached", "stops", "hangs", "crashed"
    std::string reason;
    std::string verdict;
    bool haveError;   // the host sees walk.report.error
    bool otherDriver; // no ZEDWIC_U.DLL beside its driver: another maker's printer
    bool fault;
};

std::string ExportList(const ZwHostWalk &walk, bool have) {
    std::string list;
    for (int i = 0; i < 5; ++i) {
        if (walk.has[i] == have) {
            list += (list.empty() ? "" : " ") +
                    std::string(ZWHOST_SETTING_EXPORTS[i] + strlen("VOLQUAD_"));
        }
    }
    return list;
}

std::string StopWords(const ZwHostWalk &walk, const char *exportName) {
    if (walk.report.step == DRIVERMODULE_STEP_FUNCTION && exportName == nullptr) {
        const std::string have = ExportList(walk, true);
        std::string decorated;
        for (int i = 0; i < 5 && decorated.empty(); ++i) {
            if (!walk.has[i]) {
                const std::string name = ZWHOST_SETTING_EXPORTS[i];
                if (!ZwHost_DecoratedExport(walk.report.modulePath, name).empty()) {
                    DriverModuleReport one = walk.report;
                    const std::string words = ZwHost_StopReason(one, name.c_str());
                    decorated = "; " + words.substr(words.find(name) + name.size() + 2);
                }
            }
        }
        return "the module lacks " + ExportList(walk, false) +
               (have.empty() ? "" : "; it has " + have) + decorated;
    }
    return ZwHost_StopReason(walk.report, exportName);
}

std::string HexCode(uint32_t code) {
    char text[16] = {};
    snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(code));
    return text;
}

// The driver file as the wide API names it, to show the folder whose name the
// 8-bit text lost: empty when it cannot be had. Shown only; the walk is the
// library's.
std::string WideDriverPath(const std::wstring &printer) {
    std::wstring name = printer;
    HANDLE handle = nullptr;
    if (!OpenPrinterW(&name[0], &handle, nullptr)) {
        return std::string();
    }
    DWORD needed = 0;
    GetPrinterDriverW(handle, nullptr, 2, nullptr, 0, &needed);
    std::vector<BYTE> block(needed + sizeof(DRIVER_INFO_2W), 0);
    std::string path;
    if (needed != 0 && GetPrinterDriverW(handle, nullptr, 2, block.data(), needed, &needed)) {
        const DRIVER_INFO_2W *info = reinterpret_cast<const DRIVER_INFO_2W *>(block.data());
        path = info->pDriverPath != nullptr ? WText_Utf8(info->pDriverPath) : std::string();
    }
    ClosePrinter(handle);
    return path;
}

// The view of a printer whose walk is done (walk is ignored for a name
// outside the code page, which no walk can take).
PrinterView ViewWalked(const std::wstring &wideName, const char *exportName,
                       const ZwHostWalk &walked, unsigned timeout) {
    PrinterView view = {};
    view.name = WText_Utf8(wideName);
    view.exportName = exportName;
    std::string printer;
    view.inCodePage = WText_ToAnsi(wideName, &printer);
    view.fault = true;
    view.state = "stops";
    const std::string every = "every settings call for this printer returns 99";
    if (!view.inCodePage) {
        view.reason = "the name has characters outside " + CodePageWords() +
                      ", and the library's settings calls take the printer's name as 8-bit text "
                      "in that code page: no host can name this printer. Rename the printer with "
                      "characters of the code page (plain ASCII always works), or set the "
                      "system's code page for non-Unicode programs to one that has them";
        view.steps.push_back(
            {1, ZwHost_StepLabel(DRIVERMODULE_STEP_PRINTER), "stops", view.reason});
        view.verdict = every;
        return view;
    }
    view.walk = walked;
    const ZwHostWalk &walk = view.walk;
    const DriverModuleReport &report = walk.report;
    if (walk.noChild) {
        view.reason = "zwhost cannot start the process that walks the printer: error " +
                      ZwHost_SystemError(walk.childError);
        view.verdict = "not known";
        return view;
    }
    const std::string functionLabel = exportName != nullptr ? exportName : "the five functions";
    for (int s = DRIVERMODULE_STEP_PRINTER; s <= report.step && s < DRIVERMODULE_STEP_REACHED;
         ++s) {
        const DriverModuleStep step = static_cast<DriverModuleStep>(s);
        const bool function = step == DRIVERMODULE_STEP_FUNCTION;
        StepView line = {s + 1, function ? functionLabel : ZwHost_StepLabel(step), "ok", ""};
        if (s < report.step) {
            line.text =
                function && exportName == nullptr ? "all exported" : ZwHost_StepFound(report, step);
        }
        view.steps.push_back(line);
    }
    if (report.step == DRIVERMODULE_STEP_REACHED) {
        view.state = "reached";
        view.fault = false;
        view.verdict = std::string(exportName != nullptr ? exportName : "the five settings calls") +
                       " for this printer run" + (exportName != nullptr ? "s" : "") + " in " +
                       WText_AnsiToUtf8(report.modulePath);
        if (walk.releaseHung) {
            view.verdict += "; but releasing the module did not return within " +
                            std::to_string(timeout) + " s (its DllMain hangs on detach)";
            view.fault = true;
        }
        return view;
    }
    StepView &last = view.steps.back();
    if (walk.hung) {
        view.state = "hangs";
        view.reason = "did not return within " + std::to_string(timeout) + " s" +
                      (report.step == DRIVERMODULE_STEP_MODULE_LOAD
                           ? ": the module's DllMain does not return, so a host's settings call "
                             "for this printer hangs here too; the module's maker must mend it"
                           : ": the spooler does not answer; restart the print spooler");
    } else if (walk.crashed) {
        view.state = "crashed";
        view.reason = "zwhost's walk process ended here with " + HexCode(walk.exitCode) +
                      (report.step == DRIVERMODULE_STEP_MODULE_LOAD
                           ? ": the module's DllMain crashed the process, as it would crash a "
                             "host's; the module's maker must mend it"
                           : "");
    } else {
        view.haveError = true;
        view.reason = StopWords(walk, exportName);
        const std::string wide =
            strchr(report.modulePath, '?') != nullptr ? WideDriverPath(wideName) : std::string();
        if (!wide.empty()) {
            view.reason += " (the driver file is " + wide + ")";
        }
        const DWORD attributes =
            GetFileAttributesW(WText_Wide(WText_AnsiToUtf8(report.modulePath)).c_str());
        view.otherDriver =
            report.step == DRIVERMODULE_STEP_MODULE_LOAD && attributes == INVALID_FILE_ATTRIBUTES &&
            report.error == ERROR_MOD_NOT_FOUND && strchr(report.modulePath, '?') == nullptr;
        view.fault = !view.otherDriver;
    }
    last.state = view.state;
    last.text = view.reason;
    view.verdict = exportName != nullptr ? std::string(exportName) + " for this printer returns 99"
                   : walk.loaded         ? "the settings calls it lacks return 99 for this printer"
                                         : every;
    if (!view.haveError) {
        view.verdict += view.state == "hangs" ? " or never returns" : " or crashes the host";
    }
    return view;
}

// Names the printer and step a walk waits in, on standard error, while
// zwhost waits out the limit.
struct SlowNames {
    const std::vector<std::string> *names; // UTF-8
    unsigned timeout;
};

void SaySlow(size_t index, DriverModuleStep step, void *context) {
    const SlowNames *slow = static_cast<const SlowNames *>(context);
    Err("zwhost: printer \"" + (*slow->names)[index] + "\": step " +
        std::to_string(static_cast<int>(step) + 1) + " (" + ZwHost_StepLabel(step) +
        ") has not returned after 1 s; waiting up to " + std::to_string(slow->timeout) + " s\n");
}

PrinterView ViewPrinter(const std::wstring &wideName, const char *exportName,
                        const std::string &library, unsigned timeout) {
    std::string printer;
    const std::vector<std::string> names(1, WText_Utf8(wideName));
    SlowNames slow = {&names, timeout};
    const ZwHostWalk walk = WText_ToAnsi(wideName, &printer)
                                ? ZwHost_Walk(printer, exportName, library, timeout, SaySlow, &slow)
                                : ZwHostWalk();
    return ViewWalked(wideName, exportName, walk, timeout);
}

void JsonPrinter(JsonWriter *json, const PrinterView &view) {
    const DriverModuleReport &report = view.walk.report;
    Json_BeginObject(json);
    Json_Field(json, "name", view.name);
    Json_Field(json, "inCodePage", view.inCodePage);
    Json_Field(json, "driverFile",
               report.haveDriverPath ? WText_AnsiToUtf8(report.driverPath).c_str() : nullptr);
    const bool composed = report.step > DRIVERMODULE_STEP_MODULE_PATH;
    Json_Field(json, "module", composed ? WText_AnsiToUtf8(report.modulePath).c_str() : nullptr);
    Json_Key(json, "steps");
    Json_BeginArray(json);
    for (const StepView &step : view.steps) {
        Json_BeginObject(json);
        Json_Field(json, "number", static_cast<int64_t>(step.number));
        Json_Field(json, "step", step.label);
        Json_Field(json, "state", step.state);
        Json_Field(json, "text", step.text);
        Json_EndObject(json);
    }
    Json_EndArray(json);
    Json_Field(json, "state", view.state);
    Json_Key(json, "stoppedAt");
    if (view.state == "reached" || view.steps.empty()) {
        Json_Null(json);
    } else {
        Json_Int(json, view.steps.back().number);
    }
    Json_Field(json, "reason", view.reason.empty() ? nullptr : view.reason.c_str());
    Json_Key(json, "lastError");
    if (view.haveError) {
        JsonError(json, report.error);
    } else {
        Json_Null(json);
    }
    Json_Field(json, "loads", view.walk.loaded);
    Json_Key(json, "exports");
    Json_BeginArray(json);
    for (int i = 0; i < 5; ++i) {
        const char *name = ZWHOST_SETTING_EXPORTS[i];
        if (view.exportName != nullptr && strcmp(view.exportName, name) != 0) {
            continue;
        }
        Json_BeginObject(json);
        Json_Field(json, "name", name);
        Json_Field(json, "exported", view.walk.has[i]);
        Json_Field(json, "runs", view.walk.has[i] && view.walk.loaded);
        const std::string decorated = view.walk.loaded && !view.walk.has[i]
                                          ? ZwHost_DecoratedExport(report.modulePath, name)
                                          : std::string();
        Json_Field(json, "decoratedAs", decorated.empty() ? nullptr : decorated.c_str());
        Json_EndObject(json);
    }
    Json_EndArray(json);
    Json_Field(json, "otherDriver", view.otherDriver);
    Json_Field(json, "fault", view.fault);
    Json_Field(json, "verdict", view.verdict);
    Json_EndObject(json);
}

std::string StepLine(const StepView &step) {
    char number[8] = {};
    snprintf(number, sizeof number, "%d.", step.number);
    std::string label = step.label;
    label.resize(label.size() < 19 ? 19 : label.size(), ' ');
    return "  " + std::string(number) + " " + label + " " +
           (step.state == "ok" ? step.text : step.state + ": " + step.text) + "\n";
}

// The note for a walk without the library loaded: a module that imports it
// fails where a host's call would not.
std::string LibraryNote(const Library &library, const ZwHostWalk &walk) {
    if (!library.problem.empty()) {
        return "note: the walk runs without the library (" + library.problem +
               "): a module that imports ZEDWIC_W.dll fails here, where a host's call would "
               "not\n";
    }
    if (walk.libraryError != 0) {
        return "note: the walk's process cannot load " + library.path + ": error " +
               ZwHost_SystemError(walk.libraryError) + "\n";
    }
    return std::string();
}

int Explain(const Args &args, size_t first, const Options &options) {
    const size_t count = args.utf8.size() - first;
    if (count < 1 || count > 2) {
        Err(std::string("zwhost: explain needs PRINTER and at most one EXPORT\n") + ZWHOST_USAGE);
        return ZWHOST_EXIT_USAGE;
    }
    const char *exportName = nullptr;
    if (count == 2 &&
        (exportName = ZwHost_SettingExportName(args.utf8[first + 1].c_str())) == nullptr) {
        Err("zwhost: no settings export is called '" + args.utf8[first + 1] + "'\n");
        return ZWHOST_EXIT_USAGE;
    }
    const Library library = FindLibrary(options, false);
    if (options.dllGiven && !library.problem.empty()) {
        return LibraryFailed(library, library.problem, "explain", options);
    }
    if (!options.json) {
        Out("printer \"" + args.utf8[first] + "\"\n");
        OutFlush();
    }
    const PrinterView view = ViewPrinter(
        args.wide[first], exportName, library.problem.empty() ? library.path : "", options.timeout);
    if (options.json) {
        JsonWriter json = {};
        Json_BeginObject(&json);
        Json_Field(&json, "command", "explain");
        JsonLibrary(&json, library);
        Json_Key(&json, "printer");
        JsonPrinter(&json, view);
        Json_EndObject(&json);
        Out(json.text + "\n");
        return view.state == "reached" && !view.fault ? ZWHOST_EXIT_OK : ZWHOST_EXIT_FAULT;
    }
    Out(LibraryNote(library, view.walk));
    for (const StepView &step : view.steps) {
        Out(StepLine(step));
    }
    if (view.state == "reached") {
        Out("reached: " + view.verdict + "\n");
        return view.fault ? ZWHOST_EXIT_FAULT : ZWHOST_EXIT_OK;
    }
    Out("stops at step " + std::to_string(view.steps.empty() ? 0 : view.steps.back().number) +
        ": " + view.verdict + "\n");
    Out("last error the host sees: " +
        (view.haveError ? ZwHost_SystemError(view.walk.report.error)
                        : std::string("none: the call does not come back with one")) +
        "\n");
    return ZWHOST_EXIT_FAULT;
}

// ---- printers ----

// The list can change while it is read: the size asked first is too small by
// the time of the fetch when another program adds a printer in between (ask
// again with the size the fetch names), and Wine's spooler fails without
// setting an error when a printer is removed while it walks the list (ask
// again). Any other failure is final. After a few quick tries it pauses
// between them (half a second in all), so that a program adding or removing
// several printers can finish. The wide list: names outside the code page
// arrive whole.
bool EnumPrinters4(DWORD flags, std::vector<BYTE> *list, DWORD *count) {
    DWORD needed = 0;
    for (int attempt = 0; attempt < 64; ++attempt) {
        if (attempt >= 4) {
            Sleep(attempt < 16 ? 1 : 10);
        }
        list->assign(needed + sizeof(PRINTER_INFO_4W), 0);
        SetLastError(ERROR_SUCCESS);
        if (EnumPrintersW(flags, nullptr, 4, needed != 0 ? list->data() : nullptr, needed, &needed,
                          count)) {
            return true;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_INSUFFICIENT_BUFFER && error != ERROR_SUCCESS) {
            return false;
        }
    }
    return false;
}

bool ListPrinterNames(std::vector<std::wstring> *names, std::string *problem) {
    const DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
    std::vector<BYTE> list;
    DWORD count = 0;
    if (!EnumPrinters4(flags, &list, &count)) {
        const DWORD error = GetLastError();
        *problem = "cannot list printers: " +
                   (error == ERROR_SUCCESS || error == ERROR_INSUFFICIENT_BUFFER
                        ? std::string("the list kept changing while it was read")
                        : "error " + ZwHost_SystemError(error));
        return false;
    }
    const PRINTER_INFO_4W *printers = reinterpret_cast<const PRINTER_INFO_4W *>(list.data());
    for (DWORD i = 0; i < count; ++i) {
        // Wine's spooler lists a printer removed while it walked the list without a name.
        if (printers[i].pPrinterName != nullptr) {
            names->push_back(printers[i].pPrinterName);
        }
    }
    return true;
}

std::string PrinterText(const PrinterView &view) {
    const DriverModuleReport &report = view.walk.report;
    std::string text;
    if (report.haveDriverPath) {
        text += "  driver file:   " + WText_AnsiToUtf8(report.driverPath) + "\n";
    }
    const std::string error =
        view.haveError ? "; last error " + ZwHost_SystemError(report.error) : std::string();
    if (view.state != "reached" && report.step < DRIVERMODULE_STEP_MODULE_LOAD) {
        return text + "  ZEDWIC_U.DLL:  not looked for: " +
               (view.state == "stops" ? "" : view.state + ": ") + view.reason + error + "\n";
    }
    text += "  ZEDWIC_U.DLL:  " + WText_AnsiToUtf8(report.modulePath) + "\n";
    if (!view.walk.loaded) {
        return text + "  loads:         " + (view.state == "stops" ? "no" : view.state) + ": " +
               view.reason + error + "\n";
    }
    const std::string have = ExportList(view.walk, true);
    const std::string lack = ExportList(view.walk, false);
    text += "  loads:         yes; exports " + (have.empty() ? "none of the five" : have) +
            (lack.empty() ? "" : "; lacks " + lack) + "\n";
    const size_t decorated = view.reason.find("but it exports ");
    if (view.state == "stops" && decorated != std::string::npos) {
        text += "  note:          " + view.reason.substr(decorated + 4) + "\n";
    }
    if (view.walk.releaseHung) {
        text += "  releases:      no: " + view.verdict + "\n";
    }
    return text;
}

struct PrintersSummary {
    size_t listed, reached, other, faults;
};

// The walks run in a child with a limit for each printer, so that a module
// that hangs or crashes costs its own printer only and the list still comes.
bool WalkPrinters(const Library &library, const Options &options, JsonWriter *json,
                  PrintersSummary *summary, std::string *problem) {
    std::vector<std::wstring> names;
    if (!ListPrinterNames(&names, problem)) {
        return false;
    }
    *summary = {};
    if (json != nullptr) {
        Json_Key(json, "printers");
        Json_BeginArray(json);
    } else if (names.empty()) {
        Out("no printers installed\n");
    }
    // One walk for all, each printer within the limit.
    std::vector<std::string> walkable, shown;
    for (const std::wstring &name : names) {
        std::string ansi;
        if (WText_ToAnsi(name, &ansi)) {
            walkable.push_back(ansi);
            shown.push_back(WText_Utf8(name));
        }
    }
    SlowNames slow = {&shown, options.timeout};
    const std::vector<ZwHostWalk> walks =
        ZwHost_WalkAll(walkable, nullptr, library.problem.empty() ? library.path : "",
                       options.timeout, SaySlow, &slow);
    size_t walked = 0;
    for (const std::wstring &name : names) {
        if (json == nullptr) {
            Out(WText_Utf8(name) + "\n");
        }
        std::string ansi;
        const bool inCodePage = WText_ToAnsi(name, &ansi);
        const PrinterView view =
            ViewWalked(name, nullptr, inCodePage ? walks[walked++] : ZwHostWalk(), options.timeout);
        summary->listed += 1;
        summary->reached += view.state == "reached" && !view.fault ? 1u : 0u;
        summary->other += view.otherDriver ? 1u : 0u;
        summary->faults += view.fault ? 1u : 0u;
        if (json != nullptr) {
            JsonPrinter(json, view);
        } else {
            Out(view.inCodePage ? PrinterText(view) : "  name:          " + view.reason + "\n");
        }
    }
    if (json != nullptr) {
        Json_EndArray(json);
    } else if (!names.empty()) {
        Out("printers: " + std::to_string(summary->listed) + " listed, " +
            std::to_string(summary->reached) + " reach their settings functions, " +
            std::to_string(summary->other) + " of other drivers (no ZEDWIC_U.DLL), " +
            std::to_string(summary->faults) + " with a fault\n");
    }
    return true;
}

int ListPrinters(const Options &options) {
    const Library library = FindLibrary(options, false);
    if (options.dllGiven && !library.problem.empty()) {
        return LibraryFailed(library, library.problem, "printers", options);
    }
    JsonWriter json = {};
    if (options.json) {
        Json_BeginObject(&json);
        Json_Field(&json, "command", "printers");
        JsonLibrary(&json, library);
    } else if (!library.problem.empty()) {
        Out(LibraryNote(library, ZwHostWalk()));
    }
    PrintersSummary summary = {};
    std::string problem;
    const bool listed =
        WalkPrinters(library, options, options.json ? &json : nullptr, &summary, &problem);
    if (options.json) {
        if (!listed) {
            Json_Field(&json, "problem", problem);
        }
        Json_EndObject(&json);
        Out(json.text + "\n");
    }
    if (!listed) {
        Err("zwhost: " + problem + "\n");
        return ZWHOST_EXIT_FAULT;
    }
    return summary.faults != 0 ? ZWHOST_EXIT_FAULT : ZWHOST_EXIT_OK;
}

// ---- msg ----

struct Messages {
    std::vector<int32_t> codes;
    std::vector<std::string> texts;
    bool anyEmpty;
    ZwHostDataFile dataFile;
    ZwHostDataState state;
};

Messages ReadMessages(const Library &library, VOLQUAD_GetErrorMsg_Fn getErrorMsg,
                      const std::vector<int32_t> &codes) {
    Messages messages = {};
    messages.codes = codes;
    for (int32_t code : codes) {
        messages.texts.push_back(getErrorMsg(code));
        messages.anyEmpty = messages.anyEmpty || messages.texts.back().empty();
    }
    messages.dataFile = ZwHost_DataFileOf(library.module);
    messages.state = ZwHost_DataFileState(messages.dataFile);
    return messages;
}

std::vector<int32_t> DefaultCodes() {
    std::vector<int32_t> codes;
    for (int32_t code = 0; code <= 16; ++code) {
        codes.push_back(code);
    }
    codes.push_back(VOLQUAD_RESULT_UNAVAILABLE);
    return codes;
}

void JsonMessages(JsonWriter *json, const Messages &messages) {
    Json_Key(json, "dataFile");
    Json_BeginObject(json);
    Json_Field(json, "path",
               messages.dataFile.path.empty() ? nullptr : messages.dataFile.path.c_str());
    Json_Field(json, "state", messages.state.state);
    Json_Field(json, "problem",
               messages.state.problem.empty() ? nullptr : messages.state.problem.c_str());
    Json_Key(json, "findings");
    Json_BeginArray(json);
    for (const std::string &finding : messages.state.findings) {
        Json_String(json, finding);
    }
    Json_EndArray(json);
    Json_EndObject(json);
    Json_Key(json, "messages");
    Json_BeginArray(json);
    for (size_t i = 0; i < messages.codes.size(); ++i) {
        Json_BeginObject(json);
        Json_Field(json, "code", static_cast<int64_t>(messages.codes[i]));
        Json_Field(json, "text", messages.texts[i]);
        Json_Field(json, "empty", messages.texts[i].empty());
        Json_EndObject(json);
    }
    Json_EndArray(json);
}

std::string MessagesText(const Messages &messages) {
    std::string text =
        "data file: " + (messages.dataFile.path.empty() ? "(none)" : messages.dataFile.path) + "\n";
    for (size_t i = 0; i < messages.codes.size(); ++i) {
        char code[16] = {};
        snprintf(code, sizeof code, "%4ld  ", static_cast<long>(messages.codes[i]));
        text += code + (messages.texts[i].empty() ? "(empty)" : messages.texts[i]) + "\n";
    }
    if (!messages.anyEmpty) {
        return text;
    }
    if (!messages.state.problem.empty()) {
        return text + "empty texts: " + messages.state.problem + "\n";
    }
    text += "empty texts, as zwx check reads the data file:\n";
    for (const std::string &finding : messages.state.findings) {
        text += "  " + finding + "\n";
    }
    if (messages.state.findings.empty()) {
        text += "  no warnings: the texts themselves are empty\n";
    }
    return text;
}

// Writes a library that cannot be used: the words on standard error, and
// with --json the object saying so.
int LibraryFailed(const Library &library, const std::string &problem, const char *command,
                  const Options &options) {
    Err("zwhost: " + problem + "\n");
    if (options.json) {
        JsonWriter json = {};
        Json_BeginObject(&json);
        Json_Field(&json, "command", command);
        Library shown = library;
        shown.problem = problem;
        JsonLibrary(&json, shown);
        Json_EndObject(&json);
        Out(json.text + "\n");
    }
    return ZWHOST_EXIT_LIBRARY;
}

bool ParseCodes(const Args &args, size_t first, std::vector<int32_t> *codes) {
    for (size_t i = first; i < args.utf8.size(); ++i) {
        int32_t code = 0;
        if (!ZwHost_ParseCode(args.utf8[i].c_str(), &code)) {
            Err("zwhost: not a code: '" + args.utf8[i] + "' (a whole number such as 7 or -1)\n");
            return false;
        }
        codes->push_back(code);
    }
    if (codes->empty()) {
        *codes = DefaultCodes();
    }
    return true;
}

int ShowMessages(const Args &args, size_t first, const Options &options) {
    std::vector<int32_t> codes;
    if (!ParseCodes(args, first, &codes)) {
        return ZWHOST_EXIT_USAGE;
    }
    const Library library = FindLibrary(options, true);
    if (library.module == nullptr) {
        return LibraryFailed(library, library.problem, "msg", options);
    }
    std::string problem;
    auto getErrorMsg = Resolve<VOLQUAD_GetErrorMsg_Fn>(library, "VOLQUAD_GetErrorMsg", &problem);
    if (getErrorMsg == nullptr) {
        return LibraryFailed(library, problem, "msg", options);
    }
    const Messages messages = ReadMessages(library, getErrorMsg, codes);
    if (options.json) {
        JsonWriter json = {};
        Json_BeginObject(&json);
        Json_Field(&json, "command", "msg");
        JsonLibrary(&json, library);
        JsonMessages(&json, messages);
        Json_EndObject(&json);
        Out(json.text + "\n");
    } else {
        Out("library:   " + messages.dataFile.library + "\n" + MessagesText(messages));
    }
    return messages.anyEmpty ? ZWHOST_EXIT_FAULT : ZWHOST_EXIT_OK;
}

// ---- call ----

int CallExport(const Args &args, size_t first, const Options &options) {
    if (args.utf8.size() - first != 3) {
        Err(std::string("zwhost: call needs EXPORT PRINTER VALUE\n") + ZWHOST_USAGE);
        return ZWHOST_EXIT_USAGE;
    }
    const char *name = ZwHost_SettingExportName(args.utf8[first].c_str());
    if (name == nullptr) {
        Err("zwhost: no settings export is called '" + args.utf8[first] + "'\n");
        return ZWHOST_EXIT_USAGE;
    }
    intptr_t value = 0;
    if (!ZwHost_ParseValue(args.utf8[first + 2].c_str(), &value)) {
        Err("zwhost: not a value: '" + args.utf8[first + 2] +
            "' (a whole number such as 42 or 0x2A)\n");
        return ZWHOST_EXIT_USAGE;
    }
    const Library library = FindLibrary(options, true);
    if (library.module == nullptr) {
        return LibraryFailed(library, library.problem, "call", options);
    }
    std::string problem;
    auto settingFn = Resolve<VOLQUAD_Setting_Fn>(library, name, &problem);
    auto getErrorMsg = Resolve<VOLQUAD_GetErrorMsg_Fn>(library, "VOLQUAD_GetErrorMsg", &problem);
    if (settingFn == nullptr || getErrorMsg == nullptr) {
        return LibraryFailed(library, problem, "call", options);
    }
    const std::string printerWords = args.utf8[first + 1];
    // Walked first, in its own process with the limit: a module that hangs or
    // crashes is reported, not called.
    const PrinterView view = ViewPrinter(args.wide[first + 1], name, library.path, options.timeout);
    const bool callable =
        view.inCodePage && !view.walk.noChild && view.state != "hangs" && view.state != "crashed";
    const std::string zwhostVersion = ZwHostVersion();
    const bool sameVersion = library.version == zwhostVersion;
    bool called = false;
    int32_t result = 0;
    DWORD error = 0;
    if (callable) {
        std::string printer;
        WText_ToAnsi(args.wide[first + 1], &printer);
        SetLastError(ZWHOST_SENTINEL_ERROR);
        result = settingFn(printer.c_str(), value);
        error = GetLastError();
        called = true;
    }
    const bool ran = view.state == "reached";
    std::string verdict;
    if (!called) {
        verdict = "zwhost does not make the call: " + view.reason;
    } else if (!sameVersion) {
        verdict = "whether the function ran cannot be said for this library: it is version " +
                  (library.version.empty() ? std::string("(none recorded)") : library.version) +
                  " and zwhost " + zwhostVersion +
                  ", whose walk may not be its walk; install the library of zwhost's version, "
                  "or use the zwhost that came with this library. zwhost's walk says: " +
                  (ran ? "the function is reached"
                       : "it stops at step " + std::to_string(view.steps.back().number) + " (" +
                             view.steps.back().label + "): " + view.reason);
    } else if (ran) {
        verdict = "the function ran in " + WText_AnsiToUtf8(view.walk.report.modulePath) + ": " +
                  std::to_string(result) + " is its own result, the last error what it left";
    } else {
        verdict = "the function did not run: the library stopped at step " +
                  std::to_string(view.steps.back().number) + " (" +
                  ZwHost_StepLabel(view.walk.report.step) + "): " + view.reason;
    }
    const bool changed =
        called && sameVersion && !ran && view.haveError && view.walk.report.error != error;
    const char *text = called ? getErrorMsg(result) : "";
    std::string errorNote;
    if (called && error == ZWHOST_SENTINEL_ERROR) {
        errorNote = "as zwhost set it before the call: the call set none";
    } else if (called && ran && result == 0) {
        errorNote = "the call succeeded (0): after success the last error means nothing, it is "
                    "whatever the module last left";
    }
    if (options.json) {
        JsonWriter json = {};
        Json_BeginObject(&json);
        Json_Field(&json, "command", "call");
        JsonLibrary(&json, library);
        Json_Field(&json, "export", name);
        Json_Field(&json, "printer", printerWords);
        Json_Field(&json, "value", static_cast<int64_t>(value));
        Json_Field(&json, "called", called);
        Json_Key(&json, "result");
        if (called) {
            Json_Int(&json, result);
        } else {
            Json_Null(&json);
        }
        Json_Field(&json, "resultText", called ? text : nullptr);
        Json_Key(&json, "lastError");
        if (called) {
            Json_BeginObject(&json);
            Json_Field(&json, "number", static_cast<int64_t>(error));
            Json_Field(&json, "text",
                       error == ZWHOST_SENTINEL_ERROR ? HexCode(error) : ZwHost_SystemError(error));
            Json_Field(&json, "setByCall", error != ZWHOST_SENTINEL_ERROR);
            Json_Field(&json, "note", errorNote.empty() ? nullptr : errorNote.c_str());
            Json_EndObject(&json);
        } else {
            Json_Null(&json);
        }
        Json_Key(&json, "functionRan");
        if (called && sameVersion) {
            Json_Bool(&json, ran);
        } else {
            Json_Null(&json);
        }
        Json_Field(&json, "verdict", verdict);
        Json_Key(&json, "walk");
        JsonPrinter(&json, view);
        Json_EndObject(&json);
        Out(json.text + "\n");
    } else {
        Out("library:   " + library.path + ", version " +
            (library.version.empty() ? std::string("(none recorded)") : library.version) +
            (sameVersion ? std::string() : "; differs from zwhost's " + zwhostVersion) + "\n");
        if (called) {
            Out(std::string(name) + "(\"" + printerWords + "\", " +
                std::to_string(static_cast<long long>(value)) + ") = " + std::to_string(result) +
                "  " + text + "\n");
            Out("last error: " +
                (error == ZWHOST_SENTINEL_ERROR ? HexCode(error) : ZwHost_SystemError(error)) +
                (errorNote.empty() ? "" : ", " + errorNote) + "\n");
        }
        Out(verdict + "\n");
        if (changed) {
            Out("(walked before the call, that step gave " +
                ZwHost_SystemError(view.walk.report.error) +
                ": the printer or its module changed in between)\n");
        }
    }
    return called && result != VOLQUAD_RESULT_UNAVAILABLE ? ZWHOST_EXIT_OK : ZWHOST_EXIT_FAULT;
}

// ---- report ----

std::string Bitness() {
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
    return sizeof(void *) == 8 ? std::string("64-bit")
           : wow64             ? std::string("32-bit, under WoW64 on 64-bit Windows")
                               : std::string("32-bit");
}

int Report(const Args &args, size_t first, const Options &options) {
    if (first != args.utf8.size()) {
        Err(std::string("zwhost: report takes no arguments\n") + ZWHOST_USAGE);
        return ZWHOST_EXIT_USAGE;
    }
    const Library library = FindLibrary(options, true);
    std::string problem = library.problem;
    VOLQUAD_GetErrorMsg_Fn getErrorMsg =
        library.module != nullptr
            ? Resolve<VOLQUAD_GetErrorMsg_Fn>(library, "VOLQUAD_GetErrorMsg", &problem)
            : nullptr;
    const bool usable = getErrorMsg != nullptr;
    if (!usable) {
        Err("zwhost: " + problem + "\n");
    }
    Messages messages = {};
    if (usable) {
        messages = ReadMessages(library, getErrorMsg, DefaultCodes());
    }
    JsonWriter json = {};
    if (options.json) {
        Json_BeginObject(&json);
        Json_Field(&json, "command", "report");
        Json_Key(&json, "zwhost");
        Json_BeginObject(&json);
        Json_Field(&json, "version", ZwHostVersion());
        Json_Field(&json, "path", OwnPath());
        Json_Field(&json, "bitness", Bitness());
        Json_Field(&json, "codePage", static_cast<int64_t>(GetACP()));
        Json_EndObject(&json);
        Library shown = library;
        shown.problem = problem;
        JsonLibrary(&json, shown);
        if (usable) {
            JsonMessages(&json, messages);
        }
    } else {
        Out("zwhost:    " + OwnPath() + ", version " + ZwHostVersion() + ", " + Bitness() +
            " process, code page " + std::to_string(GetACP()) + "\n");
        Out("library:   " + library.path +
            (usable ? ", version " +
                          (library.version.empty() ? std::string("(none recorded)")
                                                   : library.version) +
                          (library.version == ZwHostVersion() ? "" : "; differs from zwhost's")
                    : ": " + problem) +
            "\n");
        if (usable) {
            Out(MessagesText(messages));
        }
        Out("printers:\n");
        OutFlush();
    }
    PrintersSummary summary = {};
    std::string listProblem;
    const bool listed =
        WalkPrinters(library, options, options.json ? &json : nullptr, &summary, &listProblem);
    if (options.json) {
        if (!listed) {
            Json_Field(&json, "problem", listProblem);
        }
        Json_EndObject(&json);
        Out(json.text + "\n");
    } else if (!listed) {
        Out("  " + listProblem + "\n");
    }
    if (!usable) {
        return ZWHOST_EXIT_LIBRARY;
    }
    return !listed || summary.faults != 0 || messages.anyEmpty ? ZWHOST_EXIT_FAULT : ZWHOST_EXIT_OK;
}

// ---- the command line ----

// Options before the command; false after saying why.
bool ParseOptions(const Args &args, size_t *next, Options *options) {
    const std::vector<std::string> &words = args.utf8;
    options->timeout = ZWHOST_DEFAULT_TIMEOUT;
    while (*next < words.size() && words[*next].compare(0, 2, "--") == 0) {
        const std::string &word = words[*next];
        if (word == "--json") {
            options->json = true;
            *next += 1;
        } else if ((word == "--dll" || word == "--timeout") && *next + 1 < words.size()) {
            const std::string &value = words[*next + 1];
            if (word == "--dll") {
                options->dllGiven = true;
                options->dll = value;
            } else {
                int32_t seconds = 0;
                if (!ZwHost_ParseCode(value.c_str(), &seconds) || seconds < 1 ||
                    seconds > ZWHOST_MAX_TIMEOUT) {
                    Err("zwhost: not a time limit: '" + value + "' (whole seconds, 1 to 3600)\n");
                    return false;
                }
                options->timeout = static_cast<unsigned>(seconds);
            }
            *next += 2;
        } else {
            Err("zwhost: " +
                (word == "--dll" || word == "--timeout" ? word + " needs a value"
                                                        : "unknown option '" + word + "'") +
                "\n" + ZWHOST_USAGE);
            return false;
        }
    }
    return true;
}

int Run(const Args &args) {
    const std::vector<std::string> &words = args.utf8;
    if (!words.empty() && words[0] == ZWHOST_WALK_CHILD) {
        return ZwHost_WalkChild(words);
    }
    if (words.size() == 1 && (words[0] == "--help" || words[0] == "-h" || words[0] == "/?")) {
        Out(ZWHOST_USAGE);
        return ZWHOST_EXIT_OK;
    }
    if (words.size() == 1 && words[0] == "--version") {
        Out(std::string("zwhost ") + ZW_VERSION_TEXT + "\n");
        return ZWHOST_EXIT_OK;
    }
    size_t next = 0;
    Options options = {};
    if (!ParseOptions(args, &next, &options)) {
        return ZWHOST_EXIT_USAGE;
    }
    if (next >= words.size()) {
        Err(ZWHOST_USAGE);
        return ZWHOST_EXIT_USAGE;
    }
    const std::string command = words[next++];
    if (command == "printers") {
        if (next != words.size()) {
            Err(std::string("zwhost: printers takes no arguments\n") + ZWHOST_USAGE);
            return ZWHOST_EXIT_USAGE;
        }
        return ListPrinters(options);
    }
    if (command == "explain") {
        return Explain(args, next, options);
    }
    if (command == "msg") {
        return ShowMessages(args, next, options);
    }
    if (command == "call") {
        return CallExport(args, next, options);
    }
    if (command == "report") {
        return Report(args, next, options);
    }
    Err("zwhost: unknown command '" + command + "'\n" + ZWHOST_USAGE);
    return ZWHOST_EXIT_USAGE;
}

} // namespace

int wmain(int argc, wchar_t **argv) {
    Args args;
    for (int i = 1; i < argc; ++i) {
        std::string word;
        if (!WText_ToUtf8(argv[i], &word)) {
            fprintf(stderr, "zwhost: argument %d is not valid UTF-16\n", i);
            return ZWHOST_EXIT_USAGE;
        }
        args.wide.push_back(argv[i]);
        args.utf8.push_back(word);
    }
    int status = Run(args);
    OutFlush();
    if (g_outputFailed || ferror(stdout)) {
        fprintf(stderr, "zwhost: cannot write standard output: %s\n",
                ZwHost_SystemError(GetLastError()).c_str());
        status = ZWHOST_EXIT_OUTPUT;
    }
    return status;
}
