// zwx check: what the library loads from a data file, by the library's own
// code, and what a maintainer should know about the message section.
#include "check_rules.h"
#include "cmd_shared.h"
#include "errmsg.h"
#include "toolfile.h"
#include "zwxwalk.h"

namespace {

// The table as the library loads it, by the library's own code.
void ShowTable(uint32_t codePage, DataFile *file, ZwxStreams *io) {
    ErrMsg_Free();
    ErrMsg_Load(file);
    const bool haveFallback = ErrMsgTable[ERRMSG_FALLBACK_SLOT].text != nullptr;
    for (int32_t code = 0; code < static_cast<int32_t>(ERRMSG_CODE_COUNT); ++code) {
        std::string line = "code " + std::string(code < 10 ? " " : "") + std::to_string(code) +
                           ": " + ZwxCmd_QuotedSource(VOLQUAD_GetErrorMsg(code), codePage);
        if (ErrMsgTable[code].text == nullptr) {
            line += haveFallback ? "  (the fallback)" : "  (no text)";
        }
        io->out += line + "\n";
    }
    io->out += "fallback: " +
               (haveFallback ? ZwxCmd_QuotedSource(ErrMsgTable[ERRMSG_FALLBACK_SLOT].text, codePage)
                             : std::string("none: the empty string")) +
               "\n";
    ErrMsg_Free();
}

} // namespace

int ZwxCmd_Check(const std::vector<std::string> &files, const ZwxOptions &options, ZwxStreams *io) {
    const std::string &path = files[0];
    std::string held;
    DataFile *file = ZwxCmd_OpenData(path, io, &held);
    if (file == nullptr) {
        return ZWX_EXIT_FAILED;
    }
    const std::string label = ZwxCmd_Label(path);
    const uint32_t codePage = ZwxCmd_FileCodePage(file, path, options, io);
    const uint32_t found = DataFile_FindSection(file, ERRMSG_SECTION_NAME);
    io->out += label + ": ";
    io->out += found != 0 ? std::string("message section at ") + Walk_Hex(found) + "\n"
                          : std::string("no message section\n");
    io->out += label + ": texts in code page " + std::to_string(codePage) + "\n";
    ShowTable(codePage, file, io);
    const std::vector<ZwxFinding> findings = ZwxCmd_CheckFindings(file, codePage);
    ToolData_Close(file);

    for (const ZwxFinding &finding : findings) {
        io->out += label + ": warning: " + finding.text + "\n";
    }
    if (findings.empty()) {
        io->out += label + ": no warnings\n";
        return ZWX_EXIT_OK;
    }
    io->out += label + ": " + std::to_string(findings.size()) + " warning" +
               (findings.size() == 1 ? "" : "s") + "\n";
    return ZWX_EXIT_FINDINGS;
}
