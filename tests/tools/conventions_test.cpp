// The conventions zwx follows: --version, "-" for standard input and output,
// dump -o, an output that is its own source, compile --check, and the code
// page recorded in the data file.
#include "catalogue.h"
#include "errmsg.h"
#include "toolfile.h"
#include "zwxtest.h"

#include <filesystem>

namespace {

namespace fs = std::filesystem;

class ConventionsTest : public ZwxTest {
  protected:
    int RunWithInput(const std::vector<std::string> &args, const std::string &input) {
        std::vector<const char *> argv = {"zwx"};
        for (const std::string &arg : args) {
            argv.push_back(arg.c_str());
        }
        io_ = ZwxStreams();
        io_.in = input;
        io_.inSet = true;
        return Zwx_Main(static_cast<int>(argv.size()), argv.data(), &io_);
    }
};

const char kSource[] = "[QORBA_ErrMsg]\nERMSG_00=Paper jam\nERMSG_XX=Unknown error\n";

TEST_F(ConventionsTest, VersionIsTheBuildsVersion) {
    EXPECT_EQ(Run({"--version"}), ZWX_EXIT_OK);
    EXPECT_EQ(io_.out, std::string("zwx ") + ZWX_TEST_VERSION + "\n");
}

TEST_F(ConventionsTest, DashIsStandardInputAndOutput) {
    ASSERT_EQ(RunWithInput({"compile", "-", "-o", "-"}, kSource), ZWX_EXIT_OK) << io_.err;
    const std::string data = io_.out;
    EXPECT_EQ(data, Compile(kSource));
    ASSERT_EQ(RunWithInput({"dump", "-"}, data), ZWX_EXIT_OK) << io_.err;
    EXPECT_EQ(io_.out.rfind("# zwx dump of <stdin>\n#codepage 1252\n", 0), 0u) << io_.out;
    EXPECT_EQ(RunWithInput({"check", "-"}, data), ZWX_EXIT_OK);
    EXPECT_NE(io_.out.find("<stdin>: no warnings"), std::string::npos) << io_.out;
    EXPECT_EQ(RunWithInput({"check", "-"}, "short"), ZWX_EXIT_FINDINGS)
        << "bytes from a pipe are read as the library reads a file";
    EXPECT_EQ(RunWithInput({"compile", "-", "-o", "-"}, "[S]\nk=\\q\n"), ZWX_EXIT_FINDINGS);
    EXPECT_NE(io_.err.find("<stdin>:2: in the value"), std::string::npos) << io_.err;
    EXPECT_TRUE(io_.out.empty());
}

// Every input has one limit, standard input too: one byte over it is
// refused with the limit named.
TEST_F(ConventionsTest, StandardInputStopsAtTheLimit) {
    std::string input = "[QORBA_ErrMsg]\nERMSG_XX=Unknown error\n#";
    input.resize(TOOLFILE_INPUT_LIMIT + 1, '#');
    EXPECT_EQ(RunWithInput({"compile", "-", "-o", Path("over.zwx")}, input), ZWX_EXIT_FAILED);
    EXPECT_EQ(io_.err, "zwx: cannot read <stdin>: it holds more than 64 MiB (67108864 bytes), the "
                       "most zwx reads of one input\n");
    EXPECT_FALSE(fs::exists(Path("over.zwx")));
}

TEST_F(ConventionsTest, DumpToAFileIsWrittenLikeCompilesOutput) {
    Compile(kSource);
    ASSERT_EQ(Run({"dump", Path("out.zwx"), "-o", Path("dump.src")}), ZWX_EXIT_OK) << io_.err;
    EXPECT_TRUE(io_.out.empty());
    EXPECT_EQ(Compile(Read("dump.src")), Read("out.zwx"));
    fs::create_directory(Path("folder"));
    EXPECT_EQ(Run({"dump", Path("out.zwx"), "-o", Path("folder")}), ZWX_EXIT_FAILED);
    EXPECT_EQ(io_.err.rfind("zwx: cannot write ", 0), 0u) << io_.err;
    EXPECT_TRUE(fs::is_empty(Path("folder")));
    EXPECT_EQ(Run({"dump", Path("out.zwx"), "-o", Path("out.zwx")}), ZWX_EXIT_FAILED);
}

TEST_F(ConventionsTest, AnOutputThatIsItsOwnSourceIsRefused) {
    const std::string source = Write("msg.src", std::string(kSource));
    fs::create_directory(Path("sub"));
    std::vector<std::string> spellings = {source, Path("sub/../msg.src"), Path("./msg.src")};
    std::error_code error;
    fs::create_hard_link(source, Path("hard.src"), error);
    if (!error) {
        spellings.push_back(Path("hard.src"));
    }
    fs::create_symlink(source, Path("link.src"), error);
    if (!error) {
        spellings.push_back(Path("link.src"));
    }
    for (const std::string &output : spellings) {
        EXPECT_EQ(Run({"compile", source, "-o", output}), ZWX_EXIT_FAILED) << output;
        EXPECT_NE(io_.err.find("itself; the output must be another file"), std::string::npos)
            << io_.err;
    }
    EXPECT_EQ(Read("msg.src"), kSource);
    for (const std::string &output : spellings) {
        EXPECT_EQ(ToolFile_Same(source, output), TOOLFILE_SAME) << output;
    }
    // Files that exist, side by side in one folder, one a copy of the source:
    // different files, whatever they hold.
    EXPECT_EQ(Run({"compile", source, "-o", Path("other.zwx")}), ZWX_EXIT_OK);
    ASSERT_TRUE(fs::copy_file(source, Path("copy.src")));
    for (const char *other : {"other.zwx", "copy.src"}) {
        EXPECT_EQ(ToolFile_Same(source, Path(other)), TOOLFILE_DIFFERENT) << other;
        EXPECT_EQ(Run({"compile", source, "-o", Path(other)}), ZWX_EXIT_OK) << other;
    }
    EXPECT_EQ(Read("copy.src"), Read("other.zwx"));
}

// The library's 260-byte path rule is for its own folder: zwx reads a data
// file at any path, as UTF-8 names outside ASCII soon need.
TEST_F(ConventionsTest, LongPathsAreRead) {
    // UTF-8 names: the temporary folder's own name is ASCII.
    const std::string folder =
        dir_ + "/" + std::string(120, 'a') + "/" + "Сообщения-" + std::string(100, 'b');
    ASSERT_TRUE(fs::create_directories(fs::u8path(folder)));
    const std::string path = folder + "/メッセージ.zwx";
    ASSERT_GT(path.size(), 260u);
    const std::string data = Compile(kSource);
    ASSERT_EQ(RunWithInput({"compile", "-", "-o", path}, kSource), ZWX_EXIT_OK) << io_.err;
    ASSERT_EQ(Run({"check", path}), ZWX_EXIT_OK) << io_.err;
    EXPECT_NE(io_.out.find("code  0: \"Paper jam\""), std::string::npos) << io_.out;
    EXPECT_EQ(Run({"dump", path, "-o", path + ".src"}), ZWX_EXIT_OK) << io_.err;
    EXPECT_EQ(Run({"compile", path + ".src", "-o", Path("again.zwx")}), ZWX_EXIT_OK) << io_.err;
    EXPECT_EQ(Read("again.zwx"), data);
}

// The texts of the findings in lines "where: KIND: text", in order.
std::vector<std::string> Findings(const std::string &lines, const std::string &kind) {
    std::vector<std::string> texts;
    size_t at = 0;
    while ((at = lines.find(": " + kind + ": ", at)) != std::string::npos) {
        at += kind.size() + 4;
        texts.push_back(lines.substr(at, lines.find('\n', at) - at));
    }
    return texts;
}

TEST_F(ConventionsTest, CompileWarnsAsCheckDoesAndCheckModeRefuses) {
    const std::string out = Write("out.zwx", std::string("old"));
    Write("warned.src", "# release\n[QORBA_ErrMsg]\nERMSG_00=first\nERMSG_16=no slot\n"
                        "ermsg_00=second\nERMSG_01=\n");
    EXPECT_EQ(Run({"compile", Path("warned.src"), "-o", out}), ZWX_EXIT_OK) << "warnings only";
    const std::string warned = io_.err;
    EXPECT_EQ(Run({"check", out}), ZWX_EXIT_FINDINGS);
    EXPECT_EQ(Findings(warned, "warning"), Findings(io_.out, "warning")) << warned << io_.out;
    EXPECT_EQ(Findings(warned, "warning").size(), 4u);
    Write("out.zwx", std::string("old"));
    EXPECT_EQ(Run({"compile", Path("warned.src"), "-o", out, "--check"}), ZWX_EXIT_FINDINGS);
    EXPECT_EQ(Findings(io_.err, "error"), Findings(warned, "warning"));
    const std::string src = Path("warned.src");
    for (const std::string &error :
         {src + ":4: error: entry 2 (\"ERMSG_16\"): fills no slot",
          src + ":5: error: entry 3 (\"ermsg_00\"): repeats the key of entry 1",
          src + ":6: error: entry 4 (\"ERMSG_01\"): the value is empty",
          src + ":2: error: no ERMSG_XX", std::string("zwx: ") + out + " not written (--check)"}) {
        EXPECT_NE(io_.err.find(error), std::string::npos) << error << "\n" << io_.err;
    }
    EXPECT_EQ(Read("out.zwx"), "old");
    Write("nosection.src", "[Other]\nk=v\n");
    EXPECT_EQ(Run({"compile", Path("nosection.src"), "-o", out, "--check"}), ZWX_EXIT_FINDINGS);
    EXPECT_NE(io_.err.find("error: no section \"QORBA_ErrMsg\""), std::string::npos) << io_.err;
    Write("clean.src", std::string(kSource));
    EXPECT_EQ(Run({"compile", Path("clean.src"), "-o", out, "--check"}), ZWX_EXIT_OK) << io_.err;
    EXPECT_EQ(Read("out.zwx"), Compile(kSource));
}

TEST_F(ConventionsTest, TheCodePageTravelsWithTheFile) {
    const std::string source = "#codepage 932\n[QORBA_ErrMsg]\nERMSG_00=用紙がありません\n";
    Write("ja.src", source);
    ASSERT_EQ(Run({"compile", Path("ja.src"), "-o", Path("ja.zwx")}), ZWX_EXIT_OK) << io_.err;
    const std::string data = Read("ja.zwx");
    EXPECT_EQ(data.substr(0, 4), std::string("ZW\xA4\x03", 4)) << "932 in the reserved field";
    ASSERT_EQ(Run({"dump", Path("ja.zwx")}), ZWX_EXIT_OK);
    EXPECT_NE(io_.out.find("\n#codepage 932\n\n[QORBA_ErrMsg]\nERMSG_00=用紙がありません\n"),
              std::string::npos)
        << io_.out;
    EXPECT_EQ(Compile(io_.out, "932"), data);
    EXPECT_EQ(Run({"check", Path("ja.zwx")}), ZWX_EXIT_FINDINGS);
    EXPECT_NE(io_.out.find("code  0: \"用紙がありません\""), std::string::npos) << io_.out;

    // --codepage overrides what the file records, and says so; a source that
    // states another one is refused.
    EXPECT_EQ(Run({"dump", Path("ja.zwx"), "--codepage", "1252"}), ZWX_EXIT_OK);
    EXPECT_NE(io_.err.find("records code page 932; its texts are read as 1252"), std::string::npos);
    EXPECT_EQ(Run({"compile", Path("ja.src"), "-o", Path("x.zwx"), "--codepage", "1252"}),
              ZWX_EXIT_FINDINGS);
    EXPECT_NE(io_.err.find("the source states code page 932, --codepage says 1252"),
              std::string::npos);
    for (const char *bad : {"#codepage 1200\n", "#codepage\n", "#codepage 932\n#codepage 932\n",
                            "[S]\n#codepage 932\n"}) {
        Write("bad.src", std::string(bad) + "[QORBA_ErrMsg]\n");
        EXPECT_EQ(Run({"compile", Path("bad.src"), "-o", Path("x.zwx")}), ZWX_EXIT_FINDINGS) << bad;
    }
    EXPECT_EQ(Compile("#codepages are a comment\n# codepage 932 too\n[S]\n"), Compile("[S]\n"));
}

// The library never reads the reserved field: every file answers as before.
TEST_F(ConventionsTest, TheRecordedCodePageChangesNothingTheLibraryReads) {
    std::vector<ZwxSection> sections = {{"Other", {{"k", "v"}}}, {"QORBA_ErrMsg", TestCatalogue()}};
    std::vector<uint8_t> plain = Zwx_Build(sections, nullptr);
    std::vector<uint8_t> damaged = plain;
    Zwx_PutU32(&damaged, DATAFILE_FIRST_SECTION + DATAFILE_SECTION_NEXT,
               0); // the walk goes back to the header
    for (const std::vector<uint8_t> &file : {plain, damaged}) {
        std::vector<std::string> answers[2];
        for (int recorded = 0; recorded < 2; ++recorded) {
            std::vector<uint8_t> bytes = file;
            if (recorded != 0) {
                Zwx_SetCodePage(&bytes, 65001);
            }
            DataFile *data = ToolData_OpenBytes(std::string(bytes.begin(), bytes.end()));
            ASSERT_NE(data, nullptr);
            answers[recorded].push_back(std::to_string(DataFile_FindSection(data, "QORBA_ErrMsg")));
            ErrMsg_Load(data);
            for (int32_t code = -1; code <= 16; ++code) {
                answers[recorded].push_back(VOLQUAD_GetErrorMsg(code));
            }
            ErrMsg_Free();
            ToolData_Close(data);
        }
        EXPECT_EQ(answers[0], answers[1]);
    }
}

} // namespace
