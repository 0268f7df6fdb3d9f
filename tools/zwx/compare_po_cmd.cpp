// zwx compare-po: the keys a PO file misses, adds, leaves untranslated or
// fuzzy, or translates from an outdated text, against a data file or a
// template.
#include "cmd_shared.h"
#include "po.h"
#include "text.h"

#include <unordered_map>

namespace {

// A text in a finding, escaped as a PO string so that a finding is one line.
std::string Quoted(const std::string &utf8) {
    return "\"" + Text_Shown(utf8) + "\"";
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

} // namespace

int ZwxCmd_ComparePo(const std::vector<std::string> &files, const ZwxOptions &options,
                     ZwxStreams *io) {
    const std::string &referencePath = files[0];
    const std::string &poPath = files[1];
    std::vector<ZwxLoaded> reference;
    if (IsPoName(referencePath)) {
        PoFile referencePo;
        if (!ZwxCmd_ReadPo(referencePath, io, &referencePo)) {
            return ZWX_EXIT_FAILED;
        }
        for (const PoEntry &entry : referencePo.entries) {
            if (ZwxCmd_Translatable(entry) && entry.hasContext) {
                reference.push_back({entry.context, entry.id, ZwxCmd_SlotOf(entry.context)});
            }
        }
    } else {
        size_t leftOut = 0; // compare-po lists them as missing
        if (!ZwxCmd_ReadReference(referencePath, options, io, &reference, &leftOut)) {
            return ZWX_EXIT_FAILED;
        }
    }
    PoFile po;
    if (!ZwxCmd_ReadPo(poPath, io, &po)) {
        return ZWX_EXIT_FAILED;
    }
    const std::string label = ZwxCmd_Label(poPath);
    size_t translated = 0;
    size_t findings = 0;
    std::vector<bool> matched(reference.size(), false);
    std::unordered_map<std::string, size_t> referenceOf; // folded key: its last reference
    for (size_t r = 0; r < reference.size(); ++r) {
        referenceOf[ZwxCmd_FoldedKey(reference[r].key)] = r;
    }
    for (const PoEntry &entry : po.entries) {
        if (!ZwxCmd_Translatable(entry)) {
            continue;
        }
        const std::string where = label + ":" + std::to_string(entry.idLine) + ": ";
        const auto known = entry.hasContext ? referenceOf.find(ZwxCmd_FoldedKey(entry.context))
                                            : referenceOf.end();
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
        const ZwxLoaded &item = reference[found];
        const std::string named = Text_Shown(item.key) + " (" + ZwxCmd_SlotRole(item.slot) + ")";
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
                       ZwxCmd_SlotRole(reference[r].slot) + ")\n";
        }
    }
    io->out += label + ": " + std::to_string(translated) + " of " +
               std::to_string(reference.size()) + " translated" +
               (findings == 0 ? std::string() : ", " + std::to_string(findings) + " to look at") +
               "\n";
    return findings == 0 ? ZWX_EXIT_OK : ZWX_EXIT_FINDINGS;
}
