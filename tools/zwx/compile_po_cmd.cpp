// zwx compile-po: a data file from a translated PO file. Fuzzy entries (a
// translator's unconfirmed guesses) and untranslated ones are compiled with
// their reference text, as gettext's runtime shows them, and reported.
#include "cmd_shared.h"
#include "codepage.h"
#include "errmsg.h"
#include "po.h"
#include "source.h"
#include "text.h"

#include <unordered_map>
#include <utility>

namespace {

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
// says which when it is not the obvious one. False, with *why, for an
// unusable record.
bool PoCodePage(const PoFile &po, const std::string &label, const ZwxOptions &options,
                ZwxStreams *io, uint32_t *codePage, std::string *why) {
    const std::string recorded = RecordedCodePage(po);
    uint32_t value = 0;
    const std::string problem =
        recorded.empty() ? std::string() : Codepage_Parse("X-Zwx-Codepage", recorded, &value);
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
    const PoEntry *header = Po_Header(po);
    const std::string language = header != nullptr ? Po_HeaderField(*header, "Language") : "";
    const uint32_t fromLanguage = language.empty() ? 0 : Codepage_ForLanguage(language);
    if (!recorded.empty()) {
        if (!problem.empty()) {
            *why = problem;
            return false;
        }
        // The record is the code page of the data file the PO file was
        // exported from, a fact; Language only suggests a default.
        if (fromLanguage != 0 && fromLanguage != value) {
            io->err += "zwx: note: " + label + ": X-Zwx-Codepage " + Text_Shown(recorded) +
                       " wins over Language " + Text_Shown(language) + " (code page " +
                       std::to_string(fromLanguage) +
                       "): it records the code page of the data file the texts came from "
                       "(--codepage chooses another)\n";
        }
        *codePage = value;
        return true;
    }
    if (language.empty()) {
        return true;
    }
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

} // namespace

int ZwxCmd_CompilePo(const std::vector<std::string> &files, const ZwxOptions &options,
                     ZwxStreams *io) {
    const std::string &poPath = files[0];
    if (!ZwxCmd_CheckOutput(poPath, options.output, io)) {
        return ZWX_EXIT_FAILED;
    }
    PoFile po;
    if (!ZwxCmd_ReadPo(poPath, io, &po)) {
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
    std::string unusable;
    if (!PoCodePage(po, label, options, io, &codePage, &unusable)) {
        errors.push_back(label + ": " + unusable + "; give --codepage");
    }

    ZwxSection section = {ERRMSG_SECTION_NAME, {}};
    const PoEntry *header = Po_Header(po);
    if (header == nullptr) {
        // As msgfmt --check: without a header nothing says what the texts are.
        warnings.push_back({label + ": ", "the file has no header entry (msginit writes one)"});
    }
    ZwxLines lines = {{header != nullptr ? header->line : 1}, {{}}};
    std::unordered_map<std::string, size_t> keyEntry; // folded key: its index in section
    for (const PoEntry &entry : po.entries) {
        if (!ZwxCmd_Translatable(entry) || !charset.empty()) {
            continue;
        }
        // Positions name the line of the string concerned, as gettext's do.
        const std::string where = label + ":" + std::to_string(entry.idLine) + ": ";
        const std::string whereStr = label + ":" + std::to_string(entry.strLine) + ": ";
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
            warnings.push_back({whereStr, context + " is " +
                                              (entry.fuzzy ? "fuzzy" : "untranslated") +
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
        const std::string &whereText = reference ? where : whereStr;
        if (!reference) {
            // What msgfmt --check demands: a text that begins or ends a line
            // in the reference does so in the translation too.
            const char *ends[] = {"begin", "end"};
            for (int end = 0; end < 2; ++end) {
                const bool inId =
                    !entry.id.empty() && (end == 0 ? entry.id.front() : entry.id.back()) == '\n';
                const bool inStr = (end == 0 ? entry.str.front() : entry.str.back()) == '\n';
                if (inId != inStr) {
                    warnings.push_back(
                        {whereStr, context + ": 'msgid' and 'msgstr' entries do not both " +
                                       ends[end] + " with '\\n'"});
                }
            }
        }
        if (!Source_Convert(text, codePage, &built.value, &why)) {
            errors.push_back(whereText + "in the " + role + " of " + context + ": " + why);
            continue;
        }
        if (built.key.empty() || built.key.size() >= ERRMSG_KEY_SIZE) {
            errors.push_back(where + "the key must have 1 to " +
                             std::to_string(ERRMSG_KEY_SIZE - 1) + " bytes");
            continue;
        }
        if (built.value.size() >= ERRMSG_TEXT_SIZE) {
            errors.push_back(whereText + "the " + role + " of " + context + " is " +
                             std::to_string(built.value.size()) + " bytes in code page " +
                             std::to_string(codePage) + "; the library reads values of at most " +
                             std::to_string(ERRMSG_TEXT_SIZE - 1));
            continue;
        }
        const auto first = keyEntry.emplace(ZwxCmd_FoldedKey(built.key), section.entries.size());
        if (!first.second) {
            errors.push_back(where + context + " is translated on line " +
                             std::to_string(lines.entries[0][first.first->second]) + " already");
            continue;
        }
        section.entries.push_back(built);
        lines.entries[0].push_back(reference ? entry.idLine : entry.strLine);
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
