// The zwx command line: bad use, unusable files, and output that is written
// completely or not at all.
#include "zwxtest.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

class CliTest : public ZwxTest {
  protected:
    std::vector<std::string> Folder() const {
        std::vector<std::string> names;
        for (const fs::directory_entry &entry : fs::directory_iterator(dir_)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(CliTest, BadCommandLinesExitTwoWithAReason) {
    const std::string src = Write("ok.src", "[S]\nk=v\n");
    const struct {
        std::vector<std::string> args;
        const char *reason;
    } cases[] = {
        {{}, "zwx: no command given"},
        {{"build", src}, "zwx: unknown command \"build\""},
        {{"compile", src}, "zwx: compile needs -o OUTPUT"},
        {{"compile", src, "-o"}, "zwx: option -o needs a value"},
        {{"compile", src, "-o", "a", "-o", "b"}, "zwx: option -o given twice"},
        {{"compile", src, "-oa", "--output-file=b"}, "zwx: option --output-file=b given twice"},
        {{"compile", src, "--allow-empty", "-o", "a", "--allow-empty"},
         "zwx: option --allow-empty given twice"},
        {{"check", src, "--allow-empty"}, "zwx: --allow-empty is not for check"},
        {{"compile", "-o", "x"}, "zwx: compile takes one file, not 0"},
        {{"dump", src, src}, "zwx: dump takes one file, not 2"},
        {{"check", src, "-o", "x"}, "zwx: -o is not for check"},
        {{"dump", src, "--check"}, "zwx: --check is not for dump"},
        {{"compare-po", src}, "zwx: compare-po takes two files, not 1"},
        {{"compare-po", "-", "-"}, "zwx: only one file can be standard input"},
        {{"check", src, "--verbose"}, "zwx: unknown option --verbose"},
        {{"check", src, "--codepage", "12a"}, "zwx: --codepage needs a code page number"},
        {{"check", src, "--codepage=1200"}, "zwx: code page 1200 is not one for 8-bit texts"},
        {{"check", src, "--codepage", "99999999999"}, "zwx: --codepage needs a code page number"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(Run(c.args), ZWX_EXIT_FAILED) << c.reason;
        EXPECT_EQ(io_.err.compare(0, strlen(c.reason), c.reason), 0) << io_.err;
        EXPECT_NE(io_.err.find("usage: zwx compile"), std::string::npos);
        EXPECT_TRUE(io_.out.empty());
    }
    EXPECT_EQ(Run({"help"}), ZWX_EXIT_OK);
    EXPECT_NE(io_.out.find("exit status"), std::string::npos);
}

// The output's spellings that gettext's tools take write the same file.
TEST_F(CliTest, OutputOptionsAsGettextSpellsThem) {
    const std::string src = Write("m.src", "[QORBA_ErrMsg]\nERMSG_00=v\n");
    ASSERT_EQ(Run({"compile", src, "-o", Path("a.zwx")}), ZWX_EXIT_OK) << io_.err;
    for (const std::string &spelled :
         {"-o" + Path("b.zwx"), "--output-file=" + Path("b.zwx"), "--output=" + Path("b.zwx")}) {
        fs::remove(Path("b.zwx"));
        ASSERT_EQ(Run({"compile", src, spelled}), ZWX_EXIT_OK) << spelled << io_.err;
        EXPECT_EQ(Read("b.zwx"), Read("a.zwx")) << spelled;
    }
    ASSERT_EQ(Run({"compile", src, "--output-file", Path("c.zwx")}), ZWX_EXIT_OK) << io_.err;
    EXPECT_EQ(Read("c.zwx"), Read("a.zwx"));
}

TEST_F(CliTest, UnreadableFilesSayWhyAlikeInEveryCommand) {
    const std::string po = Write("ok.po", std::string("msgid \"\"\nmsgstr \"\"\n"));
    Compile("[QORBA_ErrMsg]\nERMSG_00=x\n");
    const std::string data = Path("out.zwx");
    fs::create_directory(Path("folder"));
    const struct {
        std::string path;
        std::string why;
    } files[] = {
        {Path("missing.zwx"), "no such file"},
        {Path("folder"), "it is a folder"},
        {Path(std::string(270, 'x')), ""}, // the system's reason, whatever it is
    };
    for (const auto &file : files) {
        const std::vector<std::vector<std::string>> commands = {
            {"compile", file.path, "-o", Path("new.zwx")},
            {"dump", file.path},
            {"check", file.path},
            {"export-po", file.path},
            {"export-po", data, "--translation", file.path},
            {"compile-po", file.path, "-o", Path("new.zwx")},
            {"compare-po", file.path, po},
            {"compare-po", po, file.path},
        };
        std::string first;
        for (const std::vector<std::string> &command : commands) {
            EXPECT_EQ(Run(command), ZWX_EXIT_FAILED) << command[0];
            const std::string line = io_.err.substr(0, io_.err.find('\n') + 1);
            first = first.empty() ? line : first;
            EXPECT_EQ(line, first) << command[0];
        }
        EXPECT_EQ(first.rfind("zwx: cannot read " + file.path + ": " + file.why, 0), 0u) << first;
    }
    EXPECT_EQ(Folder(), (std::vector<std::string>{"folder", "in.src", "ok.po", "out.zwx"}));
}

TEST_F(CliTest, OutputIsReplacedWholeOrLeftAlone) {
    const std::string out = Write("ZEDWIC_D.ZWX", std::string("old content"));
    Write("bad.src", "[S]\nk=ok\nk2=\\q\n");
    EXPECT_EQ(Run({"compile", Path("bad.src"), "-o", out}), ZWX_EXIT_FINDINGS);
    EXPECT_NE(io_.err.find("bad.src:3:"), std::string::npos) << io_.err;
    EXPECT_EQ(Read("ZEDWIC_D.ZWX"), "old content");
    EXPECT_EQ(Folder(), (std::vector<std::string>{"ZEDWIC_D.ZWX", "bad.src"}));

    fs::create_directory(Path("folder"));
    Write("folder/inside", std::string("x"));
    Write("good.src", "[QORBA_ErrMsg]\nERMSG_00=v\n");
    EXPECT_EQ(Run({"compile", Path("good.src"), "-o", Path("folder")}), ZWX_EXIT_FAILED);
    EXPECT_NE(io_.err.find("zwx: cannot write " + Path("folder") + ": it is a folder\n"),
              std::string::npos)
        << io_.err;
    EXPECT_EQ(Run({"compile", Path("good.src"), "-o", Path("none/ZEDWIC_D.ZWX")}), ZWX_EXIT_FAILED);
    EXPECT_EQ(Folder(), (std::vector<std::string>{"ZEDWIC_D.ZWX", "bad.src", "folder", "good.src"}))
        << "no temporary file left behind";
    EXPECT_EQ(Read("folder/inside"), "x");

    EXPECT_EQ(Run({"compile", Path("good.src"), "-o", out}), ZWX_EXIT_OK) << io_.err;
    std::vector<uint8_t> expected = Zwx_Build({{"QORBA_ErrMsg", {{"ERMSG_00", "v"}}}}, nullptr);
    Zwx_SetCodePage(&expected, 1252);
    EXPECT_EQ(Read("ZEDWIC_D.ZWX"), std::string(expected.begin(), expected.end()));
    EXPECT_EQ(Folder().size(), 4u);
}

TEST_F(CliTest, HelpAndVersionAsGettextsToolsGiveThem) {
    for (const char *command :
         {"compile", "dump", "check", "export-po", "compile-po", "compare-po"}) {
        const std::string usage = std::string("usage: zwx ") + command + " ";
        for (const std::vector<std::string> &args : {std::vector<std::string>{command, "--help"},
                                                     {command, "x", "-o", "y", "-h"},
                                                     {command, "--bogus", "--help"},
                                                     {"help", command},
                                                     {"--help", command}}) {
            EXPECT_EQ(Run(args), ZWX_EXIT_OK) << args[0] << " " << args[1];
            EXPECT_EQ(io_.out.rfind(usage, 0), 0u) << io_.out;
            EXPECT_NE(io_.out.find("exit status"), std::string::npos);
            EXPECT_EQ(io_.out.find("usage: zwx", 1), std::string::npos) << "this command only";
            EXPECT_TRUE(io_.err.empty());
        }
        EXPECT_EQ(Run({command, "-V"}), ZWX_EXIT_OK);
        EXPECT_EQ(io_.out, std::string("zwx ") + ZWX_TEST_VERSION + "\n");
    }
    EXPECT_EQ(Run({"-V"}), ZWX_EXIT_OK);
    EXPECT_EQ(io_.out, std::string("zwx ") + ZWX_TEST_VERSION + "\n");
    // Extra arguments are refused, and after -- a --help is a file name.
    for (const std::vector<std::string> &args : {std::vector<std::string>{"-V", "x"},
                                                 {"--version", "x"},
                                                 {"help", "compile", "x"},
                                                 {"help", "bogus"},
                                                 {"check", "a.zwx", "b.zwx"}}) {
        EXPECT_EQ(Run(args), ZWX_EXIT_FAILED) << args[0] << " " << args[1];
        EXPECT_TRUE(io_.out.empty());
    }
    EXPECT_EQ(Run({"check", "--", "--help"}), ZWX_EXIT_FAILED);
    EXPECT_EQ(io_.err, "zwx: cannot read --help: no such file\n");
}

} // namespace
