// zwx check: what the library loads from a data file, by the library's own
// code, and what a maintainer should know about the message section.
#include "errmsg.h"
#include "source.h"
#include "toolfile.h"
#include "zwxcmd.h"
#include "zwxwalk.h"

#include <cstdio>

namespace {

const uint32_t CHECK_NO_ENTRY = 0xFFFFFFFFu;

struct Check {
    uint32_t codePage;
    std::vector<ZwxFinding> findings;
};

void Warn(Check *check, const std::string &what, uint32_t entry = ZWX_NO_ENTRY) {
    check->findings.push_back({entry, what});
}

// A text as the source writes it, with its quotes escaped as a PO string
// escapes them: every finding and every code is one line.
std::string Quoted(const Check &check, const std::string &bytes) {
    std::string text;
    for (char c : Source_FormatText(bytes, check.codePage)) {
        text += c == '"' ? std::string("\\\"") : std::string(1, c);
    }
    return "\"" + text + "\"";
}

std::string SlotRole(uint32_t slot) {
    return slot == ERRMSG_FALLBACK_SLOT ? std::string("the fallback")
                                        : "code " + std::to_string(slot);
}

// The slot a key fills, matched as ErrMsg_Load matches it; CHECK_NO_ENTRY for none.
uint32_t SlotOf(const std::string &key) {
    for (uint32_t slot = 0; ErrMsgTable[slot].key[0] != '\0'; ++slot) {
        if (DataFile_NamesEqual(ErrMsgTable[slot].key, key.c_str())) {
            return slot;
        }
    }
    return CHECK_NO_ENTRY;
}

// The table as the library loads it, by the library's own code.
void ShowTable(Check *check, DataFile *file, ZwxStreams *io) {
    ErrMsg_Free();
    ErrMsg_Load(file);
    const bool haveFallback = ErrMsgTable[ERRMSG_FALLBACK_SLOT].text != nullptr;
    for (int32_t code = 0; code < static_cast<int32_t>(ERRMSG_CODE_COUNT); ++code) {
        std::string line = "code " + std::string(code < 10 ? " " : "") + std::to_string(code) +
                           ": " + Quoted(*check, VOLQUAD_GetErrorMsg(code));
        if (ErrMsgTable[code].text == nullptr) {
            line += haveFallback ? "  (the fallback)" : "  (no text)";
        }
        io->out += line + "\n";
    }
    io->out += "fallback: " +
               (haveFallback ? Quoted(*check, ErrMsgTable[ERRMSG_FALLBACK_SLOT].text)
                             : std::string("none: the empty string")) +
               "\n";
    ErrMsg_Free();
}

// Why a key is never matched, or empty when it can be.
std::string KeyProblem(const WalkString &key) {
    if (key.state == WALK_STRING_UNREADABLE) {
        return "the key has no NUL within " + std::to_string(DATAFILE_STRING_SCAN) + " bytes";
    }
    if (key.bytes.size() >= ERRMSG_KEY_SIZE) {
        return "the key is " + std::to_string(key.bytes.size()) + " bytes; keys of more than " +
               std::to_string(ERRMSG_KEY_SIZE - 1) + " are not read";
    }
    if (key.state == WALK_STRING_OUTSIDE) {
        return "the key lies outside the file";
    }
    return key.bytes.empty() ? "the key is empty" : "";
}

// Why the winning value of a slot loads as the empty text, or empty.
std::string ValueProblem(const WalkString &value) {
    switch (value.state) {
    case WALK_STRING_UNREADABLE:
        return "the value has no NUL within " + std::to_string(DATAFILE_STRING_SCAN) +
               " bytes (too long to load)";
    case WALK_STRING_OUTSIDE:
        return "the value lies outside the file";
    case WALK_STRING_OK:
    case WALK_STRING_AT_END:
        break;
    }
    return value.bytes.empty() ? "the value is empty" : "";
}

void CheckEntries(Check *check, const WalkSection &section) {
    if (section.tailCut) {
        Warn(check, "the message section's record is cut short by the end of the file");
    }
    if (section.count == 0) {
        Warn(check, "the message section has no entries");
    }
    uint32_t winner[ERRMSG_SLOT_COUNT];
    for (uint32_t &w : winner) {
        w = CHECK_NO_ENTRY;
    }
    for (uint32_t k = 0; k < section.entries.size(); ++k) {
        const WalkEntry &entry = section.entries[k];
        const std::string label = "entry " + std::to_string(k + 1);
        const std::string keyProblem = KeyProblem(entry.key);
        if (!keyProblem.empty()) {
            Warn(check, label + ": " + keyProblem + "; the library skips the entry", k);
            continue;
        }
        const std::string named = label + " (" + Quoted(*check, entry.key.bytes) + ")";
        if (entry.key.state == WALK_STRING_AT_END) {
            Warn(check, named + ": the key has no NUL; the end of the file ends it", k);
        }
        const uint32_t slot = SlotOf(entry.key.bytes);
        if (slot == CHECK_NO_ENTRY) {
            Warn(check,
                 named + ": fills no slot (the keys are ERMSG_00 to ERMSG_" +
                     std::to_string(ERRMSG_CODE_COUNT - 1) + " and ERMSG_XX)",
                 k);
            continue;
        }
        if (winner[slot] != CHECK_NO_ENTRY) {
            Warn(check,
                 named + ": repeats the key of entry " + std::to_string(winner[slot] + 1) +
                     ", whose text is the one loaded",
                 k);
            continue;
        }
        winner[slot] = k;
        const std::string valueProblem = ValueProblem(entry.value);
        if (!valueProblem.empty()) {
            Warn(check,
                 named + ": " + valueProblem + "; " + SlotRole(slot) + " loads as the empty text" +
                     (slot == ERRMSG_FALLBACK_SLOT ? "" : ", not the fallback"),
                 k);
        } else if (entry.value.state == WALK_STRING_AT_END) {
            Warn(check, named + ": the value has no NUL; the end of the file ends it", k);
        }
    }
    if (section.entriesEnd != WALK_CHAIN_COMPLETE) {
        Warn(check, std::string("the entry chain ") + Walk_ChainEndText(section.entriesEnd) +
                        " at " + Walk_Hex(section.entriesEndOffset) + " after " +
                        std::to_string(section.entries.size()) + " of " +
                        std::to_string(section.count) + " entries");
    }
    if (winner[ERRMSG_FALLBACK_SLOT] == CHECK_NO_ENTRY) {
        Warn(check, "no ERMSG_XX: codes without a text of their own, and codes outside 0 to " +
                        std::to_string(ERRMSG_CODE_COUNT - 1) + ", get the empty string");
    }
}

// Explains a missing message section with what the walk of sections found.
void CheckMissingSection(Check *check, const WalkFile &walk) {
    std::string found;
    for (const WalkSection &section : walk.sections) {
        if (section.nameTerminated) {
            found += (found.empty() ? "" : ", ") + Quoted(*check, section.name);
        }
    }
    Warn(check, std::string("no section \"") + ERRMSG_SECTION_NAME +
                    "\": every code gets the empty string (sections found: " +
                    (found.empty() ? "none" : found) + ")");
    if (walk.headerShort) {
        Warn(check, "the file is shorter than its header");
    }
    if (walk.sectionsEnd != WALK_CHAIN_COMPLETE) {
        Warn(check, std::string("the section chain ") + Walk_ChainEndText(walk.sectionsEnd) +
                        " at " + Walk_Hex(walk.sectionsEndOffset));
    }
}

} // namespace

std::vector<ZwxFinding> ZwxCmd_CheckFindings(DataFile *file, uint32_t codePage) {
    Check check = {codePage, {}};
    const uint32_t found = DataFile_FindSection(file, ERRMSG_SECTION_NAME);
    const WalkFile walk = Walk_File(file);
    WalkSection section;
    WalkChainEnd end = WALK_CHAIN_COMPLETE;
    if (found == 0) {
        CheckMissingSection(&check, walk);
    } else if (Walk_Section(file, found, &section, &end)) {
        CheckEntries(&check, section);
        for (const WalkSection &other : walk.sections) {
            if (other.offset != found && other.nameTerminated &&
                DataFile_NamesEqual(other.name.c_str(), ERRMSG_SECTION_NAME)) {
                Warn(&check, "the section at " + Walk_Hex(other.offset) + " is named " +
                                 Quoted(check, other.name) + " too and is never read");
            }
        }
    }
    return check.findings;
}

int ZwxCmd_Check(const std::string &path, uint32_t codePage, ZwxStreams *io) {
    ZwxOptions options;
    options.codePage = codePage;
    return ZwxCmd_CheckWith(path, options, io);
}

int ZwxCmd_CheckWith(const std::string &path, const ZwxOptions &options, ZwxStreams *io) {
    std::string held;
    DataFile *file = ZwxCmd_OpenData(path, io, &held);
    if (file == nullptr) {
        return ZWX_EXIT_FAILED;
    }
    const std::string label = ZwxCmd_Label(path);
    const uint32_t codePage = ZwxCmd_FileCodePage(file, path, options, io);
    Check check = {codePage, {}};
    const uint32_t found = DataFile_FindSection(file, ERRMSG_SECTION_NAME);
    io->out += label + ": ";
    io->out += found != 0 ? std::string("message section at ") + Walk_Hex(found) + "\n"
                          : std::string("no message section\n");
    io->out += label + ": texts in code page " + std::to_string(codePage) + "\n";
    ShowTable(&check, file, io);
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
