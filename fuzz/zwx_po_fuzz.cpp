// Fuzz target: the input is a PO file, as a translator's tool leaves it.
// The reader answers with entries or errors; every string it reads is
// written by zwx's PO writer and read back unchanged; compile-po either
// refuses the file or builds a data file that check reads without fault.
#include "po.h"
#include "zwxfuzz.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void Fail(const char *what) {
    fprintf(stderr, "zwx_po_fuzz: %s\n", what);
    abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string text(reinterpret_cast<const char *>(data), size);
    const PoFile po = Po_Parse(text, "fuzz.po");
    for (const PoEntry &entry : po.entries) {
        if (!Po_Writable(entry.context) || !Po_Writable(entry.id) || !Po_Writable(entry.str)) {
            continue;
        }
        const std::string written = Po_Keyword("msgctxt", entry.context) +
                                    Po_Keyword("msgid", entry.id) + Po_Keyword("msgstr", entry.str);
        const PoFile back = Po_Parse(written, "back.po");
        if (back.entries.size() != 1 || back.entries[0].context != entry.context ||
            back.entries[0].id != entry.id || back.entries[0].str != entry.str) {
            Fail("an entry does not read back as it was written");
        }
        if (Po_Escape(entry.str).find('\n') != std::string::npos) {
            Fail("an escaped text spans lines");
        }
    }
    ZwxStreams io;
    const int compiled = ZwxFuzz_Run({"compile-po", "-", "-o", "-"}, text, &io);
    if (compiled != ZWX_EXIT_OK) {
        if (compiled != ZWX_EXIT_FINDINGS || !io.out.empty()) {
            Fail("compile-po failed otherwise than with findings, or wrote output");
        }
        return 0;
    }
    const std::string built = io.out;
    const int checked = ZwxFuzz_Run({"check", "-"}, built, &io);
    if (checked != ZWX_EXIT_OK && checked != ZWX_EXIT_FINDINGS) {
        Fail("check cannot read what compile-po built");
    }
    return 0;
}
