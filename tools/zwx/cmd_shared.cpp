// What the zwx commands share (cmd_shared.h).
#include "cmd_shared.h"

#include "codepage.h"
#include "errmsg.h"
#include "source.h"
#include "text.h"
#include "check_rules.h"
#include "toolfile.h"
#include "zwxwalk.h"

#include <cstring>

namespace {

// The library seeks to offsets below 2 GiB only.
const uint64_t LARGEST_DATA_FILE = 0x7FFFFFFFu;

// The index of the section the library reads, as it finds it: the first of
// that name.
size_t MessageSection(const std::vector<ZwxSection> &sections) {
    for (size_t s = 0; s < sections.size(); ++s) {
        if (DataFile_NamesEqual(sections[s].name.c_str(), ERRMSG_SECTION_NAME)) {
            return s;
        }
    }
    return sections.size();
}

bool ToUtf8(const std::string &bytes, uint32_t codePage, std::string *utf8) {
    utf8->clear();
    size_t at = 0;
    while (at < bytes.size()) {
        uint32_t codePoint = 0;
        size_t length = 0;
        if (!Codepage_DecodeChar(codePage, bytes, at, &codePoint, &length)) {
            return false;
        }
        std::string piece;
        Codepage_EncodeChar(65001, codePoint, &piece);
        *utf8 += piece;
        at += length;
    }
    return true;
}

} // namespace

std::string ZwxCmd_FoldedKey(const std::string &key) {
    std::string folded = key;
    for (char &c : folded) {
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return folded;
}

uint32_t ZwxCmd_SlotOf(const std::string &key) {
    for (uint32_t slot = 0; ErrMsgTable[slot].key[0] != '\0'; ++slot) {
        if (DataFile_NamesEqual(ErrMsgTable[slot].key, key.c_str())) {
            return slot;
        }
    }
    return ZWX_NO_ENTRY;
}

std::string ZwxCmd_QuotedSource(const std::string &bytes, uint32_t codePage) {
    std::string text;
    for (char c : Source_FormatText(bytes, codePage)) {
        text += c == '"' ? std::string("\\\"") : std::string(1, c);
    }
    return "\"" + text + "\"";
}

std::string ZwxCmd_OpenFailure(const std::string &path) {
    const std::string why = ToolFile_WhyUnreadable(path);
    return why.empty() ? std::string("it cannot be read") : why;
}

std::string ZwxCmd_Label(const std::string &path) {
    return path == ZWX_STDIO ? std::string("<stdin>") : path;
}

std::string ZwxCmd_OutputLabel(const std::string &path) {
    return path == ZWX_STDIO ? std::string("<stdout>") : path;
}

uint32_t ZwxCmd_FileCodePage(DataFile *file, const std::string &path, const ZwxOptions &options,
                             ZwxStreams *io) {
    uint8_t reserved[DATAFILE_HEADER_RESERVED_SIZE] = {};
    if (DataFile_ReadAt(file, reserved, sizeof reserved, DATAFILE_HEADER_RESERVED) !=
        sizeof reserved) {
        memset(reserved, 0, sizeof reserved);
    }
    const uint32_t recorded = Zwx_RecordedCodePage(reserved);
    const std::string label = ZwxCmd_Label(path);
    if (options.codePage != 0) {
        if (recorded != 0 && recorded != options.codePage) {
            io->err += "zwx: note: " + label + " records code page " + std::to_string(recorded) +
                       "; its texts are read as " + std::to_string(options.codePage) +
                       ", as --codepage says\n";
        }
        return options.codePage;
    }
    if (recorded != 0 && Codepage_Check(recorded) == CODEPAGE_OK) {
        return recorded;
    }
    if (recorded != 0) {
        io->err += "zwx: note: " + label + " records code page " + std::to_string(recorded) +
                   ", which zwx cannot use here; its texts are read as " +
                   std::to_string(CODEPAGE_DEFAULT) + " (give --codepage)\n";
    }
    return CODEPAGE_DEFAULT;
}

// A data file named by path, or read from standard input for "-", into *held.
DataFile *ZwxCmd_OpenData(const std::string &path, ZwxStreams *io, std::string *held) {
    DataFile *file = nullptr;
    if (path == ZWX_STDIO) {
        if (!ZwxCmd_ReadInput(path, io, held)) {
            return nullptr;
        }
        file = ToolData_OpenBytes(*held);
    } else {
        file = ToolData_OpenPath(path);
        // The reader takes paths of at most 260 characters (its own folder's
        // rule): a file it cannot open although the library's own open would
        // succeed (not one another program is writing) is read here and
        // handed over whole, read by the same rules.
        std::string why;
        if (file == nullptr && ToolFile_WhyUnreadable(path).empty() &&
            ToolFile_Read(path, held, &why)) {
            file = ToolData_OpenBytes(*held);
        }
    }
    if (file == nullptr) {
        io->err +=
            "zwx: cannot read " + ZwxCmd_Label(path) + ": " + ZwxCmd_OpenFailure(path) + "\n";
    }
    return file;
}

int ZwxCmd_WriteText(const std::string &text, const ZwxOptions &options, ZwxStreams *io) {
    if (options.output.empty() || options.output == ZWX_STDIO) {
        io->out += text;
        return ZWX_EXIT_OK;
    }
    std::string why;
    if (!ToolFile_WriteOutput(options.output, std::vector<uint8_t>(text.begin(), text.end()),
                              &why)) {
        io->err += "zwx: cannot write " + options.output + ": " + why + "\n";
        return ZWX_EXIT_FAILED;
    }
    return ZWX_EXIT_OK;
}

bool ZwxCmd_ReadInput(const std::string &path, ZwxStreams *io, std::string *text) {
    std::string why;
    if (path == ZWX_STDIO) {
        if (io->inSet) {
            // Held by the caller, under the same limit as any input.
            if (io->in.size() <= TOOLFILE_INPUT_LIMIT) {
                *text = io->in;
                return true;
            }
            why = TOOLFILE_TOO_LARGE;
        } else if (ToolFile_ReadStdin(text, &why)) {
            return true;
        }
    } else if (ToolFile_Read(path, text, &why)) {
        return true;
    }
    io->err += "zwx: cannot read " + ZwxCmd_Label(path) + ": " + why + "\n";
    return false;
}

bool ZwxCmd_CheckOutput(const std::string &input, const std::string &output, ZwxStreams *io) {
    if (input == ZWX_STDIO || output == ZWX_STDIO) {
        return true;
    }
    const ToolFileSame same = ToolFile_Same(input, output);
    if (same == TOOLFILE_DIFFERENT) {
        return true;
    }
    io->err += "zwx: " + output +
               (same == TOOLFILE_SAME
                    ? " is " + input + " itself; the output must be another file"
                    : ": cannot tell whether it is " + input + "; name another output file") +
               "\n";
    return false;
}

int ZwxCmd_WriteData(const std::vector<ZwxSection> &sections, uint32_t codePage,
                     const std::string &name, const ZwxOptions &options, const ZwxLines *lines,
                     ZwxStreams *io) {
    // A catalogue without texts makes every code's message empty: a mistake
    // (the wrong file, a PO with nothing translatable) unless asked for.
    const size_t message = MessageSection(sections);
    if (!options.allowEmpty && (message == sections.size() || sections[message].entries.empty())) {
        io->err +=
            name + ": error: " +
            (message == sections.size() ? std::string("no section \"") + ERRMSG_SECTION_NAME + "\""
                                        : std::string("no messages")) +
            ": a catalogue without texts\nzwx: " + ZwxCmd_OutputLabel(options.output) +
            " not written (--allow-empty writes one)\n";
        return ZWX_EXIT_FINDINGS;
    }
    const uint64_t size = Zwx_BuiltSize(sections);
    if (size > LARGEST_DATA_FILE) {
        io->err += "zwx: " + name + ": the data file would be " + std::to_string(size) +
                   " bytes; it must stay below 2 GiB\n";
        return ZWX_EXIT_FINDINGS;
    }
    ZwxLayout layout;
    std::vector<uint8_t> bytes = Zwx_Build(sections, &layout);
    Zwx_SetCodePage(&bytes, codePage);
    // What check would warn about, by check's own code on the file built:
    // warnings, or errors that keep it from being written (--check).
    const std::string image(bytes.begin(), bytes.end());
    DataFile *file = ToolData_OpenBytes(image);
    std::vector<ZwxFinding> findings;
    if (file != nullptr) {
        findings = ZwxCmd_CheckFindings(file, codePage);
        ToolData_Close(file);
    }
    const std::string kind = options.strict ? ": error: " : ": warning: ";
    for (const ZwxFinding &finding : findings) {
        size_t line = 0;
        if (lines != nullptr && message < lines->entries.size() && finding.entry != ZWX_NO_ENTRY &&
            finding.entry < lines->entries[message].size()) {
            line = lines->entries[message][finding.entry];
        } else if (lines != nullptr && message < lines->sections.size()) {
            line = lines->sections[message];
        }
        io->err += name + (line != 0 ? ":" + std::to_string(line) : std::string()) + kind +
                   finding.text + "\n";
    }
    if (options.strict && (file == nullptr || !findings.empty())) {
        io->err += "zwx: " + ZwxCmd_OutputLabel(options.output) + " not written (--check)\n";
        return ZWX_EXIT_FINDINGS;
    }
    return ZwxCmd_WriteText(image, options, io);
}

std::string ZwxCmd_SlotRole(uint32_t slot) {
    if (slot == ERRMSG_FALLBACK_SLOT) {
        return "the fallback: the text of codes without one of their own";
    }
    return slot == ZWX_NO_ENTRY ? std::string("fills no slot") : "code " + std::to_string(slot);
}

// The texts the library loads, in chain order: the first entry of each slot
// whose key and value it can read. What cannot go into a PO file is noted.
std::vector<ZwxLoaded> ZwxCmd_LoadTexts(DataFile *file, const std::string &label, uint32_t codePage,
                                        ZwxStreams *io, size_t *leftOut) {
    std::vector<ZwxLoaded> texts;
    const uint32_t found = DataFile_FindSection(file, ERRMSG_SECTION_NAME);
    WalkSection section;
    WalkChainEnd end = WALK_CHAIN_COMPLETE;
    if (found == 0 || !Walk_Section(file, found, &section, &end)) {
        io->err += "zwx: " + label + ": no message section \"" + ERRMSG_SECTION_NAME + "\"\n";
        return texts;
    }
    bool taken[ERRMSG_SLOT_COUNT] = {};
    for (size_t k = 0; k < section.entries.size(); ++k) {
        const WalkEntry &entry = section.entries[k];
        const std::string where = "zwx: " + label + ": entry " + std::to_string(k + 1);
        if (entry.key.state == WALK_STRING_UNREADABLE || entry.key.bytes.empty() ||
            entry.key.bytes.size() >= ERRMSG_KEY_SIZE) {
            continue; // the library skips it; check says why
        }
        const uint32_t slot = ZwxCmd_SlotOf(entry.key.bytes);
        if (slot == ZWX_NO_ENTRY || taken[slot]) {
            continue;
        }
        taken[slot] = true;
        ZwxLoaded loaded = {entry.key.bytes, std::string(), slot};
        if (entry.value.state == WALK_STRING_UNREADABLE || entry.value.bytes.empty()) {
            io->err += where + " (" + Text_Shown(entry.key.bytes) +
                       "): left out: it loads as the empty text\n";
            ++*leftOut;
        } else if (!ToUtf8(entry.value.bytes, codePage, &loaded.text) ||
                   !Po_Writable(loaded.text)) {
            io->err += where + " (" + Text_Shown(entry.key.bytes) +
                       "): left out: the text holds bytes that " +
                       "are no characters of code page " + std::to_string(codePage) +
                       ", or control characters\n";
            ++*leftOut;
        } else {
            texts.push_back(loaded);
        }
    }
    return texts;
}

// The texts of a data file, or of a PO file's entries (reference: msgid).
bool ZwxCmd_ReadReference(const std::string &path, const ZwxOptions &options, ZwxStreams *io,
                          std::vector<ZwxLoaded> *texts, size_t *leftOut) {
    const std::string label = ZwxCmd_Label(path);
    std::string held;
    DataFile *file = ZwxCmd_OpenData(path, io, &held);
    if (file == nullptr) {
        return false;
    }
    const uint32_t codePage = ZwxCmd_FileCodePage(file, path, options, io);
    *texts = ZwxCmd_LoadTexts(file, label, codePage, io, leftOut);
    ToolData_Close(file);
    return true;
}

// A PO file read and parsed; false after saying why (its errors included).
bool ZwxCmd_ReadPo(const std::string &path, ZwxStreams *io, PoFile *po) {
    std::string text;
    if (!ZwxCmd_ReadInput(path, io, &text)) {
        return false;
    }
    // gettext's tools refuse a byte-order mark (msgfmt: "syntax error" on
    // line 1): a PO file zwx took with one would fail the translators' tools.
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        po->errors.push_back(ZwxCmd_Label(path) +
                             ":1: the file starts with a UTF-8 byte-order mark, which gettext's "
                             "tools refuse; save it as UTF-8 without one");
        io->err += po->errors.back() + "\n";
        return false;
    }
    const std::string utf16 = Text_Utf16Problem(text);
    if (!utf16.empty()) {
        po->errors.push_back(ZwxCmd_Label(path) + ":1: " + utf16);
        io->err += po->errors.back() + "\n";
        return false;
    }
    *po = Po_Parse(text, ZwxCmd_Label(path));
    for (const std::string &error : po->errors) {
        io->err += error + "\n";
    }
    return po->errors.empty();
}

bool ZwxCmd_Translatable(const PoEntry &entry) {
    return !entry.obsolete && (entry.hasContext || !entry.id.empty());
}
