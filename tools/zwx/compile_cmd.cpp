// zwx compile: source text to data file.
#include "source.h"
#include "toolfile.h"
#include "zwxcmd.h"
#include "zwxwrite.h"

namespace {

// The library seeks to offsets below 2 GiB only.
const uint64_t kLargestFile = 0x7FFFFFFFu;

} // namespace

int ZwxCmd_Compile(const std::string &sourcePath, const std::string &outputPath, uint32_t codePage,
                   ZwxStreams *io) {
    std::string text;
    std::string why;
    if (!ToolFile_Read(sourcePath, &text, &why)) {
        io->err += "zwx: cannot read " + sourcePath + ": " + why + "\n";
        return ZWX_EXIT_FAILED;
    }
    const SourceResult parsed = Source_Parse(text, sourcePath, codePage);
    if (!parsed.errors.empty()) {
        for (const std::string &error : parsed.errors) {
            io->err += error + "\n";
        }
        io->err += "zwx: " + outputPath + " not written\n";
        return ZWX_EXIT_FINDINGS;
    }
    const uint64_t size = Zwx_BuiltSize(parsed.sections);
    if (size > kLargestFile) {
        io->err += "zwx: " + sourcePath + ": the data file would be " + std::to_string(size) +
                   " bytes; it must stay below 2 GiB\n";
        return ZWX_EXIT_FINDINGS;
    }
    const std::vector<uint8_t> bytes = Zwx_Build(parsed.sections, nullptr);
    if (!ToolFile_WriteAtomic(outputPath, bytes, &why)) {
        io->err += "zwx: cannot write " + outputPath + ": " + why + "\n";
        return ZWX_EXIT_FAILED;
    }
    return ZWX_EXIT_OK;
}
