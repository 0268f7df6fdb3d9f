// zwx export-po: the message section as a PO template for translators, or
// with the texts of a translated data file as a PO translation. The key is
// the message context, the reference language's text the message id, the
// translation the message string.
#include "cmd_shared.h"
#include "errmsg.h"
#include "po.h"
#include "text.h"
#include "toolfile.h"

namespace {

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

} // namespace

int ZwxCmd_ExportPo(const std::vector<std::string> &files, const ZwxOptions &options,
                    ZwxStreams *io) {
    const std::string &path = files[0];
    if (!ZwxCmd_CheckOutput(path, options.output, io) ||
        (!options.translation.empty() &&
         !ZwxCmd_CheckOutput(options.translation, options.output, io))) {
        return ZWX_EXIT_FAILED;
    }
    std::vector<ZwxLoaded> reference;
    size_t leftOut = 0;
    if (!ZwxCmd_ReadReference(path, options, io, &reference, &leftOut)) {
        return ZWX_EXIT_FAILED;
    }
    if (reference.empty() && !options.allowEmpty) {
        io->err += "zwx: " + ZwxCmd_Label(path) + ": error: no message to export\nzwx: " +
                   ZwxCmd_OutputLabel(options.output.empty() ? ZWX_STDIO : options.output) +
                   " not written (--allow-empty writes a template without messages)\n";
        return ZWX_EXIT_FINDINGS;
    }
    std::vector<ZwxLoaded> translated;
    uint32_t translationCodePage = 0;
    if (!options.translation.empty()) {
        std::string held;
        DataFile *file = ZwxCmd_OpenData(options.translation, io, &held);
        if (file == nullptr) {
            return ZWX_EXIT_FAILED;
        }
        // --codepage is the reference's; the translation's is its own record.
        translationCodePage = ZwxCmd_FileCodePage(file, options.translation, ZwxOptions(), io);
        translated = ZwxCmd_LoadTexts(file, ZwxCmd_Label(options.translation), translationCodePage,
                                      io, &leftOut);
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
    for (const ZwxLoaded &item : reference) {
        std::string str;
        for (const ZwxLoaded &other : translated) {
            if (other.slot == item.slot) {
                str = other.text;
                used[other.slot] = true;
            }
        }
        text += "\n#. " + ZwxCmd_SlotRole(item.slot) + "\n";
        // compile-po stores the reference text for a fuzzy or untranslated
        // entry: a translation that is that text asks for review, as
        // gettext asks, so that the next round trip does not call it done.
        if (!str.empty() && str == item.text) {
            text += "#, fuzzy\n";
        }
        text += Po_Keyword("msgctxt", item.key) + Po_Keyword("msgid", item.text) +
                Po_Keyword("msgstr", str);
    }
    for (const ZwxLoaded &other : translated) {
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
