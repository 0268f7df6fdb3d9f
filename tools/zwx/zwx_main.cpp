// The zwx command line: zwx COMMAND FILE... [options].
#include "codepage.h"
#include "zwxcmd.h"

#include <vector>

#ifndef ZWX_VERSION
#define ZWX_VERSION "unknown"
#endif

namespace {

// What a command takes besides its files.
enum CommandTakes : unsigned {
    TAKES_OUTPUT = 1u,      // -o
    NEEDS_OUTPUT = 2u,      // -o, which it cannot do without
    TAKES_CHECK = 4u,       // --check
    TAKES_TRANSLATION = 8u, // --translation
    TAKES_EMPTY = 16u,      // --allow-empty
};

struct Command {
    const char *name;
    int (*run)(const std::vector<std::string> &files, const ZwxOptions &options, ZwxStreams *io);
    size_t files;
    unsigned takes;
    const char *usage;   // after "usage: zwx "
    const char *summary; // zwx help's line, or lines
    const char *what;    // zwx COMMAND --help's paragraph
};

// One table dispatches the commands and writes every help text.
const Command ZWX_COMMANDS[] = {
    {"compile", ZwxCmd_Compile, 1, TAKES_OUTPUT | NEEDS_OUTPUT | TAKES_CHECK | TAKES_EMPTY,
     "compile SOURCE -o OUTPUT [--codepage N] [--check] [--allow-empty]",
     "builds a data file from UTF-8 source text\n",
     "Builds a data file from UTF-8 source text; what check would warn about is\n"
     "printed as SOURCE:LINE: warning: ...\n"},
    {"dump", ZwxCmd_Dump, 1, TAKES_OUTPUT, "dump FILE [-o SOURCE] [--codepage N]",
     "prints a data file as source text\n",
     "Prints a data file as source text that compiles back to the same bytes;\n"
     "damage is reported on standard error.\n"},
    {"check", ZwxCmd_Check, 1, 0, "check FILE [--codepage N]",
     "shows the messages the library loads, with warnings\n",
     "Shows the messages the library loads from a data file, with one line per\n"
     "warning.\n"},
    {"export-po", ZwxCmd_ExportPo, 1, TAKES_OUTPUT | TAKES_TRANSLATION | TAKES_EMPTY,
     "export-po FILE [--translation FILE] [-o PO] [--codepage N] [--allow-empty]",
     "writes the message section as a PO template, or with the texts\n"
     "of a translated data file as a PO translation\n",
     "Writes the message section as a PO template, or with the texts of a\n"
     "translated data file as a PO translation, in which a text identical to its\n"
     "reference text is fuzzy; exits 1 when a text is left out.\n"},
    {"compile-po", ZwxCmd_CompilePo, 1, TAKES_OUTPUT | NEEDS_OUTPUT | TAKES_CHECK | TAKES_EMPTY,
     "compile-po PO -o OUTPUT [--codepage N] [--check] [--allow-empty]",
     "builds a data file from a translated PO file\n",
     "Builds a data file from a translated PO file. Fuzzy and untranslated entries\n"
     "take their reference text (msgid), with a warning. The code page is\n"
     "--codepage, else X-Zwx-Codepage (the code page of the data file the texts\n"
     "came from), else the Windows ANSI code page of the Language header, else\n"
     "1252.\n"},
    {"compare-po", ZwxCmd_ComparePo, 2, 0, "compare-po FILE PO [--codepage N]",
     "lists the keys a PO file misses, adds or leaves untranslated\n",
     "Lists, one line each, the keys a PO file misses, adds, leaves untranslated\n"
     "or fuzzy, or translates from an outdated text.\n"},
};

struct OptionHelp {
    unsigned takes; // 0: every command
    const char *text;
};

const OptionHelp ZWX_OPTIONS[] = {
    {TAKES_OUTPUT, "-o FILE       the output; - is standard output (also -oFILE,\n"
                   "              --output-file=FILE). A regular file is replaced through a\n"
                   "              temporary file beside it; a device, FIFO or console (NUL,\n"
                   "              CON) is written through; a symbolic link's target is\n"
                   "              replaced and the link kept; a read-only file is refused\n"},
    {0, "--codepage N  the code page of the data file's texts: 874, 932, 936, 949,\n"
        "              950, 1250 to 1258, 65001; by default the one the input\n"
        "              records, else 1252\n"},
    {TAKES_CHECK, "--check       refuse to write a data file that check would warn about\n"},
    {TAKES_TRANSLATION,
     "--translation FILE  the translated data file whose texts fill the msgstr\n"},
    {TAKES_EMPTY, "--allow-empty write a catalogue or template without messages; without\n"
                  "              it an input that yields none is an error\n"},
    {0, "-h, --help    this command's usage;  -V, --version  the version of zwx\n"},
};

const char ZWX_FILES[] = "-             as a file: standard input";

const char ZWX_EXIT_STATUS[] =
    "exit status   0 done, nothing to report; 1 source errors, damage, warnings or\n"
    "              differences; 2 bad command line, or a file that cannot be read\n"
    "              or written\n";

// The options a command takes, or every option for takes ~0u.
std::string OptionsHelp(unsigned takes) {
    std::string help;
    for (const OptionHelp &option : ZWX_OPTIONS) {
        help += option.takes == 0 || (option.takes & takes) != 0 ? option.text : "";
    }
    return help;
}

std::string Synopsis() {
    std::string synopsis;
    for (const Command &command : ZWX_COMMANDS) {
        synopsis +=
            (synopsis.empty() ? "usage: zwx " : "       zwx ") + std::string(command.usage) + "\n";
    }
    return synopsis;
}

std::string Help() {
    std::string help = Synopsis() + "\n";
    for (const Command &command : ZWX_COMMANDS) {
        // The name in a column of its own; a summary's further lines below it.
        const std::string summary = command.summary;
        std::string indent = command.name;
        for (size_t at = 0; at < summary.size();) {
            const size_t end = summary.find('\n', at) + 1;
            indent.resize(12, ' ');
            help += indent + summary.substr(at, end - at);
            indent.clear();
            at = end;
        }
    }
    return help + "\n" + ZWX_FILES + "; after -o: standard output\n" + OptionsHelp(~0u) +
           ZWX_EXIT_STATUS + "\nzwx COMMAND --help shows one command's usage.\n";
}

const Command *FindCommand(const std::string &name) {
    for (const Command &command : ZWX_COMMANDS) {
        if (name == command.name) {
            return &command;
        }
    }
    return nullptr;
}

std::string CommandHelp(const Command &command) {
    return std::string("usage: zwx ") + command.usage + "\n\n" + command.what + "\n" + ZWX_FILES +
           "\n" + OptionsHelp(command.takes) + ZWX_EXIT_STATUS;
}

struct CommandLine {
    std::vector<std::string> operands;
    std::string output;
    bool haveOutput;
    std::string codePage;
    bool haveCodePage;
    bool check;
    bool allowEmpty;
    std::string translation;
    bool haveTranslation;
};

int Usage(ZwxStreams *io, const std::string &problem) {
    io->err += "zwx: " + problem + "\n" + Synopsis() + "(zwx help tells more)\n";
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
        if (arg == "--check" || arg == "--allow-empty") {
            bool *flag = arg == "--check" ? &line->check : &line->allowEmpty;
            if (*flag) {
                return "option " + arg + " given twice";
            }
            *flag = true;
            continue;
        }
        // As gettext's tools: -oFILE, and --name=VALUE for every long one.
        const size_t equals = arg.compare(0, 2, "--") == 0 ? arg.find('=') : std::string::npos;
        const std::string option = arg.substr(0, equals);
        if (equals != std::string::npos) {
            inlineValue = arg.substr(equals + 1);
            hasInline = true;
        } else if (arg.size() > 2 && arg.compare(0, 2, "-o") == 0) {
            inlineValue = arg.substr(2);
            hasInline = true;
        }
        if (option == "--output" || option == "--output-file" || arg.compare(0, 2, "-o") == 0) {
            value = &line->output;
            seen = &line->haveOutput;
        } else if (option == "--translation") {
            value = &line->translation;
            seen = &line->haveTranslation;
        } else if (option == "--codepage") {
            value = &line->codePage;
            seen = &line->haveCodePage;
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

// Empty when the options suit the command, else what is wrong.
std::string CheckUse(const Command &command, const CommandLine &line) {
    const std::string name = command.name;
    if (line.operands.size() != command.files) {
        return name + " takes " + (command.files == 1 ? "one file" : "two files") + ", not " +
               std::to_string(line.operands.size());
    }
    if ((command.takes & NEEDS_OUTPUT) != 0 && !line.haveOutput) {
        return name + " needs -o OUTPUT";
    }
    if ((command.takes & TAKES_OUTPUT) == 0 && line.haveOutput) {
        return "-o is not for " + name;
    }
    if ((command.takes & TAKES_CHECK) == 0 && line.check) {
        return "--check is not for " + name;
    }
    if ((command.takes & TAKES_TRANSLATION) == 0 && line.haveTranslation) {
        return "--translation is not for " + name;
    }
    if ((command.takes & TAKES_EMPTY) == 0 && line.allowEmpty) {
        return "--allow-empty is not for " + name;
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
    if (name == "help" || name == "-h" || name == "--help") {
        if (argc == 2) {
            io->out += Help();
            return ZWX_EXIT_OK;
        }
        const Command *named = argc == 3 ? FindCommand(argv[2]) : nullptr;
        if (named != nullptr) {
            io->out += CommandHelp(*named);
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
    const Command *command = FindCommand(name);
    if (command == nullptr) {
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
    options.allowEmpty = line.allowEmpty;
    options.translation = line.translation;
    if (line.haveOutput && line.output.empty()) {
        return Usage(io, "-o needs a file name (or - for standard output)");
    }
    if (line.haveCodePage) {
        problem = Codepage_Parse("--codepage", line.codePage, &options.codePage);
        if (!problem.empty()) {
            return Usage(io, problem);
        }
    } else if (Codepage_Check(CODEPAGE_DEFAULT) != CODEPAGE_OK) {
        return Usage(io, "the default code page " + std::to_string(CODEPAGE_DEFAULT) +
                             " has no conversion tables on this system; choose one");
    }
    return command->run(line.operands, options, io);
}
