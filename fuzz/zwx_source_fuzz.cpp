// Fuzz target: the input is zwx source text, as an author or a script writes
// it. Whatever it holds, the reader answers with sections or errors; sections
// it accepts are written back as source that reads to the very same bytes.
#include "source.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void Fail(const char *what) {
    fprintf(stderr, "zwx_source_fuzz: %s\n", what);
    abort();
}

bool SameSections(const std::vector<ZwxSection> &a, const std::vector<ZwxSection> &b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t s = 0; s < a.size(); ++s) {
        if (a[s].name != b[s].name || a[s].entries.size() != b[s].entries.size()) {
            return false;
        }
        for (size_t e = 0; e < a[s].entries.size(); ++e) {
            if (a[s].entries[e].key != b[s].entries[e].key ||
                a[s].entries[e].value != b[s].entries[e].value) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string text(reinterpret_cast<const char *>(data), size);
    const SourceResult parsed = Source_Parse(text, "fuzz.src", 1252);
    if (!parsed.errors.empty()) {
        return 0;
    }
    if (parsed.lines.size() != parsed.sections.size() ||
        parsed.sectionLines.size() != parsed.sections.size()) {
        Fail("the lines do not match the sections");
    }
    const uint32_t codePage = parsed.statedCodePage != 0 ? parsed.statedCodePage : 1252;
    const std::string again =
        Source_CodePageLine(codePage) + "\n" + Source_Format(parsed.sections, codePage);
    const SourceResult reread = Source_Parse(again, "again.src", 1252);
    if (!reread.errors.empty()) {
        fprintf(stderr, "%s\n%s\n", again.c_str(), reread.errors[0].c_str());
        Fail("the formatted source does not read back");
    }
    if (!SameSections(parsed.sections, reread.sections)) {
        Fail("the formatted source reads back to other bytes");
    }
    return 0;
}
