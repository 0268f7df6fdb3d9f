#include "variedfiles.h"

#include "hostile.h"
#include "catalogue.h"
#include "zwxwrite.h"

namespace {

std::vector<uint8_t> ChainOffTheEnd() {
    ZwxLayout layout;
    std::vector<uint8_t> bytes = Zwx_Build(
        {{"QORBA_ErrMsg", {{"ERMSG_00", "a"}, {"ERMSG_01", "b"}, {"ERMSG_XX", "x"}}}}, &layout);
    Zwx_PutU32(&bytes, layout.sectionOffsets[0] + DATAFILE_SECTION_COUNT, 0xFFFFFFFFu);
    Zwx_PutU32(&bytes, layout.entryOffsets[0][1] + DATAFILE_ENTRY_NEXT, 0xFFFFFFF0u);
    return bytes;
}

std::vector<uint8_t> Truncated() {
    std::vector<uint8_t> bytes = Zwx_Build({{"QORBA_ErrMsg", TestCatalogue()}}, nullptr);
    bytes.resize(bytes.size() - 20); // the last value and key run into the end
    return bytes;
}

// Its reserved header field names a key: when the section record cannot be
// read again, the walk starts from offset 0 and loads "ERMSG_09".
std::vector<uint8_t> HeaderReadsAsAnEntry() {
    ZwxLayout layout;
    std::vector<uint8_t> bytes =
        Zwx_Build({{"QORBA_ErrMsg", {{"ERMSG_01", "one"}, {"ERMSG_09", "nine"}}}}, &layout);
    Zwx_PutU32(&bytes, 0, layout.keyOffsets[0][1]);
    Zwx_PutU32(&bytes, layout.sectionOffsets[0] + DATAFILE_SECTION_COUNT, 1);
    return bytes;
}

} // namespace

std::vector<VariedFile> VariedFiles() {
    return {
        {"full catalogue after another section",
         Zwx_Build({{"Other", {{"ERMSG_00", "not this"}}}, {"QORBA_ErrMsg", TestCatalogue()}},
                   nullptr)},
        {"duplicates, lower case and keys of no slot",
         Zwx_Build({{"qorba_errmsg",
                     {{"ermsg_05", "lower"},
                      {"ERMSG_03", "first"},
                      {"ERMSG_03", "second"},
                      {"ERMSG_16", "none"},
                      {"ERMSG_5", "none"},
                      {"ERMSG_05", "later"},
                      {"ermsg_xx", "fallback"},
                      {"ERMSG_XX", "second fallback"}}}},
                   nullptr)},
        {"entry cycle, count 0xFFFFFFFF", Hostile_EntryCycle(2, 3)},
        {"entry chain off the end", ChainOffTheEnd()},
        {"section cycle", Hostile_SectionCycle()},
        {"values to the end", Hostile_ValuesToTheEnd()},
        {"key to the end", Hostile_KeyToTheEnd()},
        {"far strings", Hostile_FarStrings(0x7FFFFFFFu)},
        {"truncated", Truncated()},
        {"header that reads as an entry", HeaderReadsAsAnEntry()},
        {"catalogue spread over 20 blocks", Hostile_SpreadCatalogue(20)},
        {"empty", {}},
    };
}
