// zwx compile: source text to data file.
#include "cmd_shared.h"
#include "codepage.h"
#include "source.h"

int ZwxCmd_Compile(const std::vector<std::string> &files, const ZwxOptions &options,
                   ZwxStreams *io) {
    const std::string &sourcePath = files[0];
    if (!ZwxCmd_CheckOutput(sourcePath, options.output, io)) {
        return ZWX_EXIT_FAILED;
    }
    std::string text;
    if (!ZwxCmd_ReadInput(sourcePath, io, &text)) {
        return ZWX_EXIT_FAILED;
    }
    const std::string name = ZwxCmd_Label(sourcePath);
    const uint32_t given = options.codePage != 0 ? options.codePage : CODEPAGE_DEFAULT;
    SourceResult parsed = Source_Parse(text, name, given);
    if (options.codePage != 0 && parsed.statedCodePage != 0 &&
        parsed.statedCodePage != options.codePage) {
        parsed.errors.insert(parsed.errors.begin(), name + ": the source states code page " +
                                                        std::to_string(parsed.statedCodePage) +
                                                        ", --codepage says " +
                                                        std::to_string(options.codePage));
    }
    if (!parsed.errors.empty()) {
        for (const std::string &error : parsed.errors) {
            io->err += error + "\n";
        }
        io->err += "zwx: " + ZwxCmd_OutputLabel(options.output) + " not written\n";
        return ZWX_EXIT_FINDINGS;
    }
    const uint32_t codePage = parsed.statedCodePage != 0 ? parsed.statedCodePage : given;
    ZwxLines lines = {parsed.sectionLines, parsed.lines};
    return ZwxCmd_WriteData(parsed.sections, codePage, name, options, &lines, io);
}
