// zwx compile: source text to data file.
#include "codepage.h"
#include "errmsg.h"
#include "source.h"
#include "toolfile.h"
#include "zwxcmd.h"
#include "zwxwrite.h"

namespace {

// The library seeks to offsets below 2 GiB only.
const uint64_t COMPILE_LARGEST_FILE = 0x7FFFFFFFu;

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

} // namespace

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
    const uint64_t size = Zwx_BuiltSize(sections);
    if (size > COMPILE_LARGEST_FILE) {
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
    const size_t message = MessageSection(sections);
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
    if (options.output == ZWX_STDIO) {
        io->out.append(bytes.begin(), bytes.end());
        return ZWX_EXIT_OK;
    }
    std::string why;
    if (!ToolFile_WriteOutput(options.output, bytes, &why)) {
        io->err += "zwx: cannot write " + options.output + ": " + why + "\n";
        return ZWX_EXIT_FAILED;
    }
    return ZWX_EXIT_OK;
}

int ZwxCmd_CompileWith(const std::string &sourcePath, const ZwxOptions &options, ZwxStreams *io) {
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

int ZwxCmd_Compile(const std::string &sourcePath, const std::string &outputPath, uint32_t codePage,
                   ZwxStreams *io) {
    ZwxOptions options;
    options.output = outputPath;
    options.codePage = codePage;
    return ZwxCmd_CompileWith(sourcePath, options, io);
}
