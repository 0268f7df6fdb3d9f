// The zwx command line: zwx compile|dump|check FILE [options].
#include "codepage.h"
#include "zwxcmd.h"

#include <cstring>
#include <vector>

namespace {

const char kSynopsis[] = "usage: zwx compile SOURCE -o OUTPUT [--codepage N]\n"
                         "       zwx dump FILE [--codepage N]\n"
                         "       zwx check FILE [--codepage N]\n";

const char kDetails[] =
    "\n"
    "compile  builds a data file from UTF-8 source text\n"
    "dump     prints a data file as source text\n"
    "check    shows the messages the library loads, with warnings\n"
    "\n"
    "--codepage N  the code page of the data file's texts (default 1252):\n"
    "              874, 932, 936, 949, 950, 1250 to 1258, 65001\n"
    "exit status   0 done, nothing to report; 1 source errors, damage or warnings;\n"
    "              2 bad command line, or a file that cannot be read or written\n";

struct CommandLine {
    std::string command;
    std::vector<std::string> operands;
    std::string output;
    bool haveOutput;
    std::string codePage;
    bool haveCodePage;
};

int Usage(ZwxStreams *io, const std::string &problem) {
    io->err += "zwx: " + problem + "\n" + kSynopsis + "(zwx help tells more)\n";
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
        if (optionsDone || arg.empty() || arg[0] != '-' || arg == "-") {
            line->operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsDone = true;
            continue;
        }
        if (arg == "-o" || arg == "--output") {
            value = &line->output;
            seen = &line->haveOutput;
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

} // namespace

int Zwx_Main(int argc, const char *const *argv, ZwxStreams *io) {
    if (argc < 2) {
        return Usage(io, "no command given");
    }
    CommandLine line = CommandLine();
    line.command = argv[1];
    if (line.command == "help" || line.command == "-h" || line.command == "--help") {
        io->out += std::string(kSynopsis) + kDetails;
        return ZWX_EXIT_OK;
    }
    if (line.command != "compile" && line.command != "dump" && line.command != "check") {
        return Usage(io, "unknown command \"" + line.command + "\"");
    }
    std::string problem = ParseOptions(argc, argv, &line);
    if (!problem.empty()) {
        return Usage(io, problem);
    }
    if (line.operands.size() != 1) {
        return Usage(io,
                     line.command + " takes one file, not " + std::to_string(line.operands.size()));
    }
    const bool compile = line.command == "compile";
    if (compile != line.haveOutput) {
        return Usage(io, compile ? "compile needs -o OUTPUT" : "-o is for compile only");
    }
    uint32_t codePage = CODEPAGE_DEFAULT;
    if (line.haveCodePage) {
        problem = ParseCodePage(line.codePage, &codePage);
        if (!problem.empty()) {
            return Usage(io, problem);
        }
    } else if (Codepage_Check(codePage) != CODEPAGE_OK) {
        return Usage(io, "the default code page " + std::to_string(codePage) +
                             " has no conversion tables on this system; choose one");
    }
    if (compile) {
        return ZwxCmd_Compile(line.operands[0], line.output, codePage, io);
    }
    if (line.command == "dump") {
        return ZwxCmd_Dump(line.operands[0], codePage, io);
    }
    return ZwxCmd_Check(line.operands[0], codePage, io);
}
