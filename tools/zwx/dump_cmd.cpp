// zwx dump: data file to source text, with every structural damage reported.
#include "cmd_shared.h"
#include "errmsg.h"
#include "source.h"
#include "toolfile.h"
#include "zwxwalk.h"

namespace {

struct Dump {
    std::string path;
    uint32_t codePage;
    std::vector<std::string> damage;
};

void Damage(Dump *dump, const std::string &where, const std::string &what) {
    dump->damage.push_back(dump->path + ": " + where + what);
}

std::string SectionLabel(const Dump &dump, size_t index, const WalkSection &section) {
    std::string label = "section " + std::to_string(index + 1);
    if (section.nameTerminated) {
        label += " [" + Source_FormatText(section.name, dump.codePage) + "]";
    }
    return label + " at " + Walk_Hex(section.offset) + ": ";
}

// The library reads a string that runs into the end of the file, and "" for
// one outside it; dump writes that, and says so. A string with no NUL within
// the scan has no source form that compiles.
bool StringUsable(Dump *dump, const std::string &where, const char *part, const WalkString &text,
                  uint32_t offset) {
    switch (text.state) {
    case WALK_STRING_OK:
        return true;
    case WALK_STRING_AT_END:
        Damage(dump, where,
               std::string("the ") + part + " at " + Walk_Hex(offset) +
                   " has no NUL; the end of the file ends it");
        return true;
    case WALK_STRING_OUTSIDE:
        Damage(dump, where,
               std::string("the ") + part + " offset " + Walk_Hex(offset) +
                   " lies outside the file; written as empty");
        return true;
    case WALK_STRING_UNREADABLE:
        Damage(dump, where,
               std::string("the ") + part + " at " + Walk_Hex(offset) + " has no NUL within " +
                   std::to_string(DATAFILE_STRING_SCAN) + " bytes; entry left out");
        return false;
    }
    return false;
}

ZwxSection DumpSection(Dump *dump, size_t index, const WalkSection &walked) {
    const std::string label = SectionLabel(*dump, index, walked);
    if (walked.tailCut) {
        Damage(dump, label, "the record is cut short by the end of the file");
    }
    ZwxSection section;
    section.name = walked.name;
    for (size_t k = 0; k < walked.entries.size(); ++k) {
        const WalkEntry &entry = walked.entries[k];
        const std::string where = label + "entry " + std::to_string(k + 1) + ": ";
        const bool keyOk = StringUsable(dump, where, "key", entry.key, entry.keyOffset);
        const bool valueOk = StringUsable(dump, where, "value", entry.value, entry.valueOffset);
        if (keyOk && entry.key.bytes.size() >= ERRMSG_KEY_SIZE) {
            Damage(dump, where,
                   "the key is " + std::to_string(entry.key.bytes.size()) +
                       " bytes, too long to load; entry left out");
            continue;
        }
        if (keyOk && valueOk) {
            section.entries.push_back({entry.key.bytes, entry.value.bytes});
        }
    }
    if (walked.entriesEnd != WALK_CHAIN_COMPLETE) {
        Damage(dump, label,
               std::string("the entry chain ") + Walk_ChainEndText(walked.entriesEnd) + " at " +
                   Walk_Hex(walked.entriesEndOffset) + " after " +
                   std::to_string(walked.entries.size()) + " of " + std::to_string(walked.count) +
                   " entries");
    }
    return section;
}

} // namespace

int ZwxCmd_Dump(const std::vector<std::string> &files, const ZwxOptions &options, ZwxStreams *io) {
    const std::string &path = files[0];
    if (!ZwxCmd_CheckOutput(path, options.output, io)) {
        return ZWX_EXIT_FAILED;
    }
    std::string held;
    DataFile *file = ZwxCmd_OpenData(path, io, &held);
    if (file == nullptr) {
        return ZWX_EXIT_FAILED;
    }
    const uint32_t codePage = ZwxCmd_FileCodePage(file, path, options, io);
    Dump dump = {ZwxCmd_Label(path), codePage, {}};
    const WalkFile walk = Walk_File(file);
    uint8_t probe = 0;
    const bool bytesAfterHeader = DataFile_ReadAt(file, &probe, 1, DATAFILE_HEADER_SIZE) == 1;
    ToolData_Close(file);

    if (walk.headerShort) {
        Damage(&dump, "",
               "the file is shorter than its " + std::to_string(DATAFILE_HEADER_SIZE) +
                   "-byte header");
    } else if (walk.limit < DATAFILE_FIRST_SECTION ||
               (walk.limit == DATAFILE_FIRST_SECTION && bytesAfterHeader)) {
        Damage(&dump, "",
               "the header's section limit " + Walk_Hex(walk.limit) +
                   " leaves no room for the sections that follow it");
    }
    std::vector<ZwxSection> sections;
    for (size_t s = 0; s < walk.sections.size(); ++s) {
        const WalkSection &walked = walk.sections[s];
        if (!walked.nameTerminated) {
            Damage(&dump, SectionLabel(dump, s, walked),
                   "the name field has no NUL; section left out");
            continue;
        }
        sections.push_back(DumpSection(&dump, s, walked));
    }
    if (walk.sectionsEnd != WALK_CHAIN_COMPLETE) {
        Damage(&dump, "",
               std::string("the section chain ") + Walk_ChainEndText(walk.sectionsEnd) + " at " +
                   Walk_Hex(walk.sectionsEndOffset) + " after " +
                   std::to_string(walk.sections.size()) + " sections");
    }

    const std::string text = "# zwx dump of " + dump.path + "\n" + Source_CodePageLine(codePage) +
                             "\n\n" + Source_Format(sections, codePage);
    for (const std::string &line : dump.damage) {
        io->err += line + "\n";
    }
    const int written = ZwxCmd_WriteText(text, options, io);
    if (written != ZWX_EXIT_OK) {
        return written;
    }
    return dump.damage.empty() ? ZWX_EXIT_OK : ZWX_EXIT_FINDINGS;
}
