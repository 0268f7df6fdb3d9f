// zwx export-po, compile-po, compare-po: the message section in and out of
// the PO files translators work in. The key is the message context, the
// reference language's text the message id, the translation the message
// string. Fuzzy entries (a translator's unconfirmed guesses) and untranslated
// ones are compiled with their reference text, as gettext's runtime shows
// them, and reported.
#include "codepage.h"
#include "errmsg.h"
#include "po.h"
#include "source.h"
#include "text.h"
#include "toolfile.h"
#include "zwxcmd.h"
#include "zwxwalk.h"

#include <cstdlib>
#include <unordered_map>
#include <utility>

namespace {

const uint32_t PO_NO_SLOT = 0xFFFFFFFFu;

// One text the library loads from the message section.
struct Loaded {
    std::string key;  // as the file spells it
    std::string text; // UTF-8
    uint32_t slot;
};

// A key as the library matches it: ASCII letters in one case.
std::string FoldedKey(const std::string &key) {
    std::string folded = key;
    for (char &c : folded) {
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return folded;
}

uint32_t SlotOf(const std::string &key) {
    for (uint32_t slot = 0; ErrMsgTable[slot].key[0] != '\0'; ++slot) {
        if (DataFile_NamesEqual(ErrMsgTable[slot].key, key.c_str())) {
            return slot;
        }
    }
    return PO_NO_SLOT;
}

std::string SlotRole(uint32_t slot) {
    if (slot == ERRMSG_FALLBACK_SLOT) {
        return "the fallback: the text of codes without one of their own";
    }
    return slot == PO_NO_SLOT ? std::string("fills no slot") : "code " + std::to_string(slot);
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

// A text in a finding, escaped as a PO string so that a finding is one line.
std::string Quoted(const std::string &utf8) {
    return "\"" + Text_Shown(utf8) + "\"";
}

// The texts the library loads, in chain order: the first entry of each slot
// whose key and value it can read. What cannot go into a PO file is noted.
std::vector<Loaded> LoadTexts(DataFile *file, const std::string &label, uint32_t codePage,
                              ZwxStreams *io, size_t *leftOut) {
    std::vector<Loaded> texts;
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
        const uint32_t slot = SlotOf(entry.key.bytes);
        if (slot == PO_NO_SLOT || taken[slot]) {
            continue;
        }
        taken[slot] = true;
        Loaded loaded = {entry.key.bytes, std::string(), slot};
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
bool ReadReference(const std::string &path, const ZwxOptions &options, ZwxStreams *io,
                   std::vector<Loaded> *texts, size_t *leftOut) {
    const std::string label = ZwxCmd_Label(path);
    std::string held;
    DataFile *file = ZwxCmd_OpenData(path, io, &held);
    if (file == nullptr) {
        return false;
    }
    const uint32_t codePage = ZwxCmd_FileCodePage(file, path, options, io);
    *texts = LoadTexts(file, label, codePage, io, leftOut);
    ToolData_Close(file);
    return true;
}

std::string Header(const std::string &source, uint32_t codePage) {
    // The placeholders that gettext's tools fill in, so that msgfmt -c and
    // msginit take the file as their own.
    std::string text = "Project-Id-Version: " + source + "\n";
    text += "PO-Revision-Date: YEAR-MO-DA HO:MI+ZONE\n"
            "Last-Translator: FULL NAME <EMAIL@ADDRESS>\n"
            "Language-Team: LANGUAGE <LL@li.org>\n"
            "Language: \n"
            "MIME-Version: 1.0\n"
            "Content-Type: text/plain; charset=UTF-8\n"
            "Content-Transfer-Encoding: 8bit\n";
    if (codePage != 0) {
        text += "X-Zwx-Codepage: " + std::to_string(codePage) + "\n";
    }
    return text + "X-Generator: zwx " ZWX_VERSION "\n";
}

bool EndsWith(const std::string &text, const std::string &end) {
    if (text.size() < end.size()) {
        return false;
    }
    for (size_t i = 0; i < end.size(); ++i) {
        char c = text[text.size() - end.size() + i];
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        if (c != end[i]) {
            return false;
        }
    }
    return true;
}

bool IsPoName(const std::string &path) {
    return EndsWith(path, ".po") || EndsWith(path, ".pot");
}

// A PO file read and parsed; false after saying why (its errors included).
bool ReadPo(const std::string &path, ZwxStreams *io, PoFile *po) {
    std::string text;
    if (!ZwxCmd_ReadInput(path, io, &text)) {
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

bool IsAscii(const std::string &text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

// Empty when the PO file's texts are UTF-8, else why not.
std::string CharsetProblem(const PoFile &po) {
    const PoEntry *header = Po_Header(po);
    std::string type = header != nullptr ? Po_HeaderField(*header, "Content-Type") : "";
    const size_t at = type.find("charset=");
    std::string charset = at == std::string::npos ? std::string() : type.substr(at + 8);
    for (char &c : charset) {
        c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    if (charset == "UTF-8") {
        return std::string();
    }
    for (const PoEntry &entry : po.entries) {
        if (!IsAscii(entry.context) || !IsAscii(entry.id) || !IsAscii(entry.str)) {
            return "the file's charset is " +
                   (charset.empty() ? "not stated" : Text_Shown(charset)) +
                   ", not UTF-8 (msgconv --to-code=UTF-8 converts it)";
        }
    }
    return std::string();
}

std::string RecordedCodePage(const PoFile &po) {
    const PoEntry *header = Po_Header(po);
    return header != nullptr ? Po_HeaderField(*header, "X-Zwx-Codepage") : std::string();
}

// The code page to write a PO file's texts in: --codepage, else the one the
// file records, else the ANSI code page of its Language, else the default;
// says which when it is not the obvious one. False for an unusable record.
bool PoCodePage(const PoFile &po, const std::string &label, const ZwxOptions &options,
                ZwxStreams *io, uint32_t *codePage) {
    const std::string recorded = RecordedCodePage(po);
    const uint32_t value = static_cast<uint32_t>(strtoul(recorded.c_str(), nullptr, 10));
    if (options.codePage != 0) {
        if (!recorded.empty() && value != options.codePage) {
            io->err += "zwx: note: " + label + " records code page " + Text_Shown(recorded) +
                       "; its texts are written in " + std::to_string(options.codePage) +
                       ", as --codepage says\n";
        }
        *codePage = options.codePage;
        return true;
    }
    *codePage = CODEPAGE_DEFAULT;
    if (!recorded.empty()) {
        if (Codepage_Check(value) != CODEPAGE_OK) {
            return false;
        }
        *codePage = value;
        return true;
    }
    const PoEntry *header = Po_Header(po);
    const std::string language = header != nullptr ? Po_HeaderField(*header, "Language") : "";
    if (language.empty()) {
        return true;
    }
    const uint32_t fromLanguage = Codepage_ForLanguage(language);
    if (fromLanguage != 0 && Codepage_Check(fromLanguage) == CODEPAGE_OK) {
        *codePage = fromLanguage;
        io->err += "zwx: note: " + label + ": Language " + Text_Shown(language) +
                   ": texts in code page " + std::to_string(fromLanguage) +
                   ", its Windows ANSI code page (--codepage " + "chooses another)\n";
    } else {
        io->err += "zwx: note: " + label + ": Language " + Text_Shown(language) +
                   (fromLanguage != 0 ? ": its code page " + std::to_string(fromLanguage) +
                                            " has no conversion tables here"
                                      : " names no code page zwx knows") +
                   "; texts in code page " + std::to_string(CODEPAGE_DEFAULT) +
                   " (--codepage chooses another)\n";
    }
    return true;
}

bool Translatable(const PoEntry &entry) {
    return !entry.obsolete && (entry.hasContext || !entry.id.empty());
}

} // namespace

int ZwxCmd_PoExport(const std::string &path, const ZwxOptions &options, ZwxStreams *io) {
    if (!ZwxCmd_CheckOutput(path, options.output, io) ||
        (!options.translation.empty() &&
         !ZwxCmd_CheckOutput(options.translation, options.output, io))) {
        return ZWX_EXIT_FAILED;
    }
    std::vector<Loaded> reference;
    size_t leftOut = 0;
    if (!ReadReference(path, options, io, &reference, &leftOut)) {
        return ZWX_EXIT_FAILED;
    }
    std::vector<Loaded> translated;
    uint32_t translationCodePage = 0;
    if (!options.translation.empty()) {
        std::string held;
        DataFile *file = ZwxCmd_OpenData(options.translation, io, &held);
        if (file == nullptr) {
            return ZWX_EXIT_FAILED;
        }
        // --codepage is the reference's; the translation's is its own record.
        translationCodePage = ZwxCmd_FileCodePage(file, options.translation, ZwxOptions(), io);
        translated =
            LoadTexts(file, ZwxCmd_Label(options.translation), translationCodePage, io, &leftOut);
        ToolData_Close(file);
    }
    const std::string source = path == ZWX_STDIO ? std::string("<stdin>") : path;
    std::string text = options.translation.empty()
                           ? "# Messages of " + source + ", a template for translators.\n"
                           : "# Messages of " + source + ", translated in " +
                                 ZwxCmd_Label(options.translation) + ".\n";
    text += "# Each msgctxt is a key of the message section " + std::string(ERRMSG_SECTION_NAME) +
            ";\n# the comment above it says which code shows the text.\n";
    if (options.translation.empty()) {
        text += "#, fuzzy\n";
    }
    text += "msgid \"\"\n" + Po_Keyword("msgstr", Header(source, translationCodePage));
    bool used[ERRMSG_SLOT_COUNT] = {};
    for (const Loaded &item : reference) {
        std::string str;
        for (const Loaded &other : translated) {
            if (other.slot == item.slot) {
                str = other.text;
                used[other.slot] = true;
            }
        }
        text += "\n#. " + SlotRole(item.slot) + "\n";
        text += Po_Keyword("msgctxt", item.key) + Po_Keyword("msgid", item.text) +
                Po_Keyword("msgstr", str);
    }
    for (const Loaded &other : translated) {
        if (!used[other.slot]) {
            io->err += "zwx: " + ZwxCmd_Label(options.translation) + ": " + Text_Shown(other.key) +
                       " is not in the reference; not exported\n";
            ++leftOut;
        }
    }
    const int written = ZwxCmd_WriteText(text, options, io);
    if (written == ZWX_EXIT_OK && leftOut != 0) {
        io->err +=
            "zwx: " + ZwxCmd_OutputLabel(options.output.empty() ? ZWX_STDIO : options.output) +
            ": " + std::to_string(leftOut) + " text" + (leftOut == 1 ? " was" : "s were") +
            " left out\n";
        return ZWX_EXIT_FINDINGS;
    }
    return written;
}

int ZwxCmd_PoCompile(const std::string &poPath, const ZwxOptions &options, ZwxStreams *io) {
    if (!ZwxCmd_CheckOutput(poPath, options.output, io)) {
        return ZWX_EXIT_FAILED;
    }
    PoFile po;
    if (!ReadPo(poPath, io, &po)) {
        io->err += "zwx: " + ZwxCmd_OutputLabel(options.output) + " not written\n";
        return po.errors.empty() ? ZWX_EXIT_FAILED : ZWX_EXIT_FINDINGS;
    }
    const std::string label = ZwxCmd_Label(poPath);
    std::vector<std::string> errors;
    std::vector<std::pair<std::string, std::string>> warnings; // where, what
    const std::string charset = CharsetProblem(po);
    if (!charset.empty()) {
        errors.push_back(label + ": " + charset);
    }
    uint32_t codePage = 0;
    if (!PoCodePage(po, label, options, io, &codePage)) {
        errors.push_back(label + ": X-Zwx-Codepage " + Text_Shown(RecordedCodePage(po)) +
                         " is not a usable code page; give --codepage");
    }

    ZwxSection section = {ERRMSG_SECTION_NAME, {}};
    const PoEntry *header = Po_Header(po);
    ZwxLines lines = {{header != nullptr ? header->line : 1}, {{}}};
    std::unordered_map<std::string, size_t> keyEntry; // folded key: its index in section
    for (const PoEntry &entry : po.entries) {
        if (!Translatable(entry) || !charset.empty()) {
            continue;
        }
        const std::string where = label + ":" + std::to_string(entry.line) + ": ";
        const std::string context = Text_Shown(entry.context);
        if (!entry.hasContext) {
            errors.push_back(where + "an entry without msgctxt names no key");
            continue;
        }
        if (entry.plural) {
            errors.push_back(where + context + ": plural forms are not used by the library");
            continue;
        }
        // As gettext's runtime does, a text without a confirmed translation
        // is shown in the reference language, never as nothing.
        const bool reference = entry.fuzzy || entry.str.empty();
        if (reference) {
            warnings.push_back({where, context + " is " + (entry.fuzzy ? "fuzzy" : "untranslated") +
                                           ": its reference text (msgid) is used"});
        }
        ZwxEntry built;
        std::string why;
        if (!Source_Convert(entry.context, codePage, &built.key, &why)) {
            errors.push_back(where + "in the key " + context + ": " + why);
            continue;
        }
        const std::string &text = reference ? entry.id : entry.str;
        const std::string role = reference ? "reference text" : "translation";
        if (!Source_Convert(text, codePage, &built.value, &why)) {
            errors.push_back(where + "in the " + role + " of " + context + ": " + why);
            continue;
        }
        if (built.key.empty() || built.key.size() >= ERRMSG_KEY_SIZE) {
            errors.push_back(where + "the key must have 1 to " +
                             std::to_string(ERRMSG_KEY_SIZE - 1) + " bytes");
            continue;
        }
        if (built.value.size() >= ERRMSG_TEXT_SIZE) {
            errors.push_back(where + "the " + role + " of " + context + " is " +
                             std::to_string(built.value.size()) + " bytes in code page " +
                             std::to_string(codePage) + "; the library reads values of at most " +
                             std::to_string(ERRMSG_TEXT_SIZE - 1));
            continue;
        }
        const auto first = keyEntry.emplace(FoldedKey(built.key), section.entries.size());
        if (!first.second) {
            errors.push_back(where + context + " is translated on line " +
                             std::to_string(lines.entries[0][first.first->second]) + " already");
            continue;
        }
        section.entries.push_back(built);
        lines.entries[0].push_back(entry.line);
    }
    // A release build (--check) takes no text that is missing or unconfirmed.
    for (const auto &warning : warnings) {
        if (options.strict) {
            errors.push_back(warning.first + "error: " + warning.second);
        } else {
            io->err += warning.first + "warning: " + warning.second + "\n";
        }
    }
    for (const std::string &error : errors) {
        io->err += error + "\n";
    }
    if (!errors.empty()) {
        io->err += "zwx: " + ZwxCmd_OutputLabel(options.output) + " not written\n";
        return ZWX_EXIT_FINDINGS;
    }
    return ZwxCmd_WriteData({section}, codePage, label, options, &lines, io);
}

int ZwxCmd_PoCompare(const std::string &referencePath, const std::string &poPath,
                     const ZwxOptions &options, ZwxStreams *io) {
    std::vector<Loaded> reference;
    if (IsPoName(referencePath)) {
        PoFile referencePo;
        if (!ReadPo(referencePath, io, &referencePo)) {
            return ZWX_EXIT_FAILED;
        }
        for (const PoEntry &entry : referencePo.entries) {
            if (Translatable(entry) && entry.hasContext) {
                reference.push_back({entry.context, entry.id, SlotOf(entry.context)});
            }
        }
    } else {
        size_t leftOut = 0; // compare-po lists them as missing
        if (!ReadReference(referencePath, options, io, &reference, &leftOut)) {
            return ZWX_EXIT_FAILED;
        }
    }
    PoFile po;
    if (!ReadPo(poPath, io, &po)) {
        return ZWX_EXIT_FAILED;
    }
    const std::string label = ZwxCmd_Label(poPath);
    size_t translated = 0;
    size_t findings = 0;
    std::vector<bool> matched(reference.size(), false);
    std::unordered_map<std::string, size_t> referenceOf; // folded key: its last reference
    for (size_t r = 0; r < reference.size(); ++r) {
        referenceOf[FoldedKey(reference[r].key)] = r;
    }
    for (const PoEntry &entry : po.entries) {
        if (!Translatable(entry)) {
            continue;
        }
        const std::string where = label + ":" + std::to_string(entry.line) + ": ";
        const auto known =
            entry.hasContext ? referenceOf.find(FoldedKey(entry.context)) : referenceOf.end();
        const size_t found = known != referenceOf.end() ? known->second : reference.size();
        ++findings;
        if (found == reference.size()) {
            io->out += where + "extra: " +
                       (entry.hasContext ? Text_Shown(entry.context) + " is not in the reference"
                                         : Quoted(entry.id) + " has no msgctxt") +
                       "\n";
            continue;
        }
        matched[found] = true;
        const Loaded &item = reference[found];
        const std::string named = Text_Shown(item.key) + " (" + SlotRole(item.slot) + ")";
        if (entry.fuzzy) {
            io->out += where + "fuzzy: " + named + ", the reference text is used\n";
        } else if (entry.str.empty()) {
            io->out += where + "untranslated: " + named + "\n";
        } else if (entry.id != item.text) {
            io->out += where + "outdated: " + named + ": the reference text is now " +
                       Quoted(item.text) + "\n";
        } else {
            --findings;
            ++translated;
        }
    }
    for (size_t r = 0; r < reference.size(); ++r) {
        if (!matched[r]) {
            ++findings;
            io->out += label + ": missing: " + Text_Shown(reference[r].key) + " (" +
                       SlotRole(reference[r].slot) + ")\n";
        }
    }
    io->out += label + ": " + std::to_string(translated) + " of " +
               std::to_string(reference.size()) + " translated" +
               (findings == 0 ? std::string() : ", " + std::to_string(findings) + " to look at") +
               "\n";
    return findings == 0 ? ZWX_EXIT_OK : ZWX_EXIT_FINDINGS;
}
