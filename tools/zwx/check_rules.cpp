// What a maintainer should know about a data file's message section: the
// entries the library skips or never reads, and the texts that load empty.
#include "check_rules.h"

#include "cmd_shared.h"
#include "errmsg.h"
#include "zwxwalk.h"

namespace {

struct Check {
    uint32_t codePage;
    std::vector<ZwxFinding> findings;
};

void Warn(Check *check, const std::string &what, uint32_t entry = ZWX_NO_ENTRY) {
    check->findings.push_back({entry, what});
}

std::string Quoted(const Check &check, const std::string &bytes) {
    return ZwxCmd_QuotedSource(bytes, check.codePage);
}

std::string SlotRole(uint32_t slot) {
    return slot == ERRMSG_FALLBACK_SLOT ? std::string("the fallback")
                                        : "code " + std::to_string(slot);
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
        w = ZWX_NO_ENTRY;
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
        const uint32_t slot = ZwxCmd_SlotOf(entry.key.bytes);
        if (slot == ZWX_NO_ENTRY) {
            Warn(check,
                 named + ": fills no slot (the keys are ERMSG_00 to ERMSG_" +
                     std::to_string(ERRMSG_CODE_COUNT - 1) + " and ERMSG_XX)",
                 k);
            continue;
        }
        if (winner[slot] != ZWX_NO_ENTRY) {
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
    if (winner[ERRMSG_FALLBACK_SLOT] == ZWX_NO_ENTRY) {
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
