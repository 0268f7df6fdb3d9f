// The zwx command line: zwx COMMAND FILE... [options].
#include "codepage.h"
#include "zwxcmd.h"

#include <cstring>
#include <vector>

#ifndef ZWX_VERSION
#define ZWX_VERSION "unknown"
#endif

namespace {

const char ZWX_SYNOPSIS[] =
    "usage: zwx compile SOURCE -o OUTPUT [--codepage N] [--check]\n"
    "       zwx dump FILE [-o SOURCE] [--codepage N]\n"
    "       zwx check FILE [--codepage N]\n"
    "       zwx export-po FILE [--translation FILE] [-o PO] [--codepage N]\n"
    "       zwx compile-po PO -o OUTPUT [--codepage N] [--check]\n"
    "       zwx compare-po FILE PO [--codepage N]\n";

const char ZWX_DETAILS[] =
    "\n"
    "compile     builds a data file from UTF-8 source text\n"
    "dump        prints a data file as source text\n"
    "check       shows the messages the library loads, with warnings\n"
    "export-po   writes the message section as a PO template, or with the texts\n"
    "            of a translated data file as a PO translation\n"
    "compile-po  builds a data file from a translated PO file\n"
    "compare-po  lists the keys a PO file misses, adds or leaves untranslated\n"
    "\n"
    "-             as a file: standard input; after -o: standard output\n";

const char ZWX_EXIT_STATUS[] =
    "exit status   0 done, nothing to report; 1 source errors, damage, warnings or\n"
    "              differences; 2 bad command line, or a file that cannot be read\n"
    "              or written\n";

struct Command {
    const char *name;
    size_t operands;
    bool needsOutput;
    bool takesOutput;
    bool takesCheck;
    bool takesTranslation;
    const char *usage; // after "usage: zwx "
    const char *what;
};

const Command ZWX_COMMANDS[] = {
    {"compile", 1, true, true, true, false, "compile SOURCE -o OUTPUT [--codepage N] [--check]",
     "Builds a data file from UTF-8 source text; what check would warn about is\n"
     "printed as SOURCE:LINE: warning: ...\n"},
    {"dump", 1, false, true, false, false, "dump FILE [-o SOURCE] [--codepage N]",
     "Prints a data file as source text that compiles back to the same bytes;\n"
     "damage is reported on standard error.\n"},
    {"check", 1, false, false, false, false, "check FILE [--codepage N]",
     "Shows the messages the library loads from a data file, with one line per\n"
     "warning.\n"},
    {"export-po", 1, false, true, false, true,
     "export-po FILE [--translation FILE] [-o PO] [--codepage N]",
     "Writes the message section as a PO template, or with the texts of a\n"
     "translated data file as a PO translation; exits 1 when a text is left out.\n"},
    {"compile-po", 1, true, true, true, false, "compile-po PO -o OUTPUT [--codepage N] [--check]",
     "Builds a data file from a translated PO file. Fuzzy and untranslated entries\n"
     "take their reference text (msgid), with a warning. The code page is\n"
     "--codepage, else X-Zwx-Codepage, else the Windows ANSI code page of the\n"
     "Language header, else 1252.\n"},
    {"compare-po", 2, false, false, false, false, "compare-po FILE PO [--codepage N]",
     "Lists, one line each, the keys a PO file misses, adds, leaves untranslated\n"
     "or fuzzy, or translates from an outdated text.\n"},
};

const char ZWX_OPTIONS[] =
    "-o FILE       the output; - is standard output. A regular file is replaced\n"
    "              through a temporary file beside it; a device, FIFO or console\n"
    "              (NUL, CON) is written through; a symbolic link's target is\n"
    "              replaced and the link kept; a read-only file is refused\n"
    "--codepage N  the code page of the data file's texts: 874, 932, 936, 949,\n"
    "              950, 1250 to 1258, 65001; by default the one the input\n"
    "              records, else 1252\n"
    "--check       refuse to write a data file that check would warn about\n"
    "--translation FILE  the translated data file whose texts fill the msgstr\n"
    "-h, --help    this command's usage;  -V, --version  the version of zwx\n";

std::string CommandHelp(const Command &command) {
    std::string help = std::string("usage: zwx ") + command.usage + "\n\n" + command.what + "\n";
    help += "-             as a file: standard input\n";
    // The option lines this command takes.
    std::string options = ZWX_OPTIONS;
    size_t at = 0;
    bool keep = false;
    while (at < options.size()) {
        const size_t end = options.find('\n', at) + 1;
        const std::string line = options.substr(at, end - at);
        if (line[0] != ' ') {
            keep = (line.compare(0, 2, "-o") == 0 && command.takesOutput) ||
                   line.compare(0, 10, "--codepage") == 0 || line.compare(0, 2, "-h") == 0 ||
                   (line.compare(0, 7, "--check") == 0 && command.takesCheck) ||
                   (line.compare(0, 13, "--translation") == 0 && command.takesTranslation);
        }
        help += keep ? line : std::string();
        at = end;
    }
    return help + ZWX_EXIT_STATUS;
}

struct CommandLine {
    std::vector<std::string> operands;
    std::string output;
    bool haveOutput;
    std::string codePage;
    bool haveCodePage;
    bool check;
    std::string translation;
    bool haveTranslation;
};

int Usage(ZwxStreams *io, const std::string &problem) {
    io->err += "zwx: " + problem + "\n" + ZWX_SYNOPSIS + "(zwx help tells more)\n";
    return ZWX_EXIT_FAILED;
}

// Empty when the arguments parse, else what is wrong.
std::string ParseOptions(int argc, const char *const *argv, CommandLine *line) {
    bool optionsDone = false;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        std::string *value = nullptr;
        bool *seen = nullptr;
        std::string inlineValue;
        bool hasInline = false;
        if (optionsDone || arg.empty() || arg[0] != '-' || arg == ZWX_STDIO) {
            line->operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsDone = true;
            continue;
        }
        if (arg == "--check") {
            if (line->check) {
                return "option --check given twice";
            }
            line->check = true;
            continue;
        }
        if (arg == "-o" || arg == "--output") {
            value = &line->output;
            seen = &line->haveOutput;
        } else if (arg == "--translation") {
            value = &line->translation;
            seen = &line->haveTranslation;
        } else if (arg == "--codepage") {
            value = &line->codePage;
            seen = &line->haveCodePage;
        } else if (arg.compare(0, 11, "--codepage=") == 0) {
            value = &line->codePage;
            seen = &line->haveCodePage;
            inlineValue = arg.substr(11);
            hasInline = true;
        } else {
            return "unknown option " + arg;
        }
        if (*seen) {
            return "option " + arg + " given twice";
        }
        if (!hasInline) {
            if (i + 1 >= argc) {
                return "option " + arg + " needs a value";
            }
            inlineValue = argv[++i];
        }
        *value = inlineValue;
        *seen = true;
    }
    return std::string();
}

// Empty when text names a usable code page, else what is wrong.
std::string ParseCodePage(const std::string &text, uint32_t *codePage) {
    uint32_t value = 0;
    bool digits = !text.empty() && text.size() <= 5;
    for (char c : text) {
        digits = digits && c >= '0' && c <= '9';
        value = value * 10 + static_cast<uint32_t>(c - '0');
    }
    if (!digits) {
        return "--codepage needs a code page number, not \"" + text + "\"";
    }
    switch (Codepage_Check(value)) {
    case CODEPAGE_OK:
        *codePage = value;
        return std::string();
    case CODEPAGE_UNKNOWN:
        return "code page " + text +
               " is not one for 8-bit texts (874, 932, 936, 949, 950, 1250 to 1258, 65001)";
    case CODEPAGE_UNAVAILABLE:
        return "code page " + text + " has no conversion tables on this system";
    }
    return "code page " + text + " is not usable";
}

// Empty when the options suit the command, else what is wrong.
std::string CheckUse(const Command &command, const CommandLine &line) {
    const std::string name = command.name;
    if (line.operands.size() != command.operands) {
        return name + " takes " + (command.operands == 1 ? "one file" : "two files") + ", not " +
               std::to_string(line.operands.size());
    }
    if (command.needsOutput && !line.haveOutput) {
        return name + " needs -o OUTPUT";
    }
    if (!command.takesOutput && line.haveOutput) {
        return "-o is not for " + name;
    }
    if (!command.takesCheck && line.check) {
        return "--check is not for " + name;
    }
    if (!command.takesTranslation && line.haveTranslation) {
        return "--translation is not for " + name;
    }
    size_t fromStdin = 0;
    for (const std::string &operand : line.operands) {
        fromStdin += operand == ZWX_STDIO ? 1u : 0u;
    }
    fromStdin += line.translation == ZWX_STDIO ? 1u : 0u;
    if (fromStdin > 1) {
        return "only one file can be standard input";
    }
    return std::string();
}

} // namespace

int Zwx_Main(int argc, const char *const *argv, ZwxStreams *io) {
    if (argc < 2) {
        return Usage(io, "no command given");
    }
    const std::string name = argv[1];
    const Command *command = nullptr;
    for (const Command &known : ZWX_COMMANDS) {
        if (name == known.name || (argc == 3 && argv[2] == std::string(known.name))) {
            command = &known;
        }
    }
    if (name == "help" || name == "-h" || name == "--help") {
        if (argc == 2) {
            io->out += std::string(ZWX_SYNOPSIS) + ZWX_DETAILS + ZWX_OPTIONS + ZWX_EXIT_STATUS +
                       "\nzwx COMMAND --help shows one command's usage.\n";
            return ZWX_EXIT_OK;
        }
        if (argc == 3 && command != nullptr) {
            io->out += CommandHelp(*command);
            return ZWX_EXIT_OK;
        }
        return Usage(io, name + " takes at most one command name");
    }
    if (name == "--version" || name == "-V" || name == "version") {
        if (argc != 2) {
            return Usage(io, name + " takes no arguments");
        }
        io->out += std::string("zwx ") + ZWX_VERSION + "\n";
        return ZWX_EXIT_OK;
    }
    if (command == nullptr || name != command->name) {
        return Usage(io, "unknown command \"" + name + "\"");
    }
    // As gettext's tools: --help and --version win over everything else.
    for (int i = 2; i < argc && std::string(argv[i]) != "--"; ++i) {
        const std::string arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            io->out += CommandHelp(*command);
            return ZWX_EXIT_OK;
        }
        if (arg == "-V" || arg == "--version") {
            io->out += std::string("zwx ") + ZWX_VERSION + "\n";
            return ZWX_EXIT_OK;
        }
    }
    CommandLine line = CommandLine();
    std::string problem = ParseOptions(argc, argv, &line);
    if (problem.empty()) {
        problem = CheckUse(*command, line);
    }
    if (!problem.empty()) {
        return Usage(io, problem);
    }
    ZwxOptions options;
    options.output = line.output;
    options.strict = line.check;
    options.translation = line.translation;
    if (line.haveOutput && line.output.empty()) {
        return Usage(io, "-o needs a file name (or - for standard output)");
    }
    if (line.haveCodePage) {
        problem = ParseCodePage(line.codePage, &options.codePage);
        if (!problem.empty()) {
            return Usage(io, problem);
        }
    } else if (Codepage_Check(CODEPAGE_DEFAULT) != CODEPAGE_OK) {
        return Usage(io, "the default code page " + std::to_string(CODEPAGE_DEFAULT) +
                             " has no conversion tables on this system; choose one");
    }
    const std::string &file = line.operands[0];
    if (name == "compile") {
        return ZwxCmd_CompileWith(file, options, io);
    }
    if (name == "dump") {
        return ZwxCmd_DumpWith(file, options, io);
    }
    if (name == "check") {
        return ZwxCmd_CheckWith(file, options, io);
    }
    if (name == "export-po") {
        return ZwxCmd_PoExport(file, options, io);
    }
    if (name == "compile-po") {
        return ZwxCmd_PoCompile(file, options, io);
    }
    return ZwxCmd_PoCompare(file, line.operands[1], options, io);
}
