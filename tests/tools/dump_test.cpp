// zwx dump on damaged files: each damage reported, what can be read kept as
// source that compiles, never a crash.
#include "source.h"
#include "zwxtest.h"

#include <random>

namespace {

const std::vector<ZwxSection> kSections = {
    {"QORBA_ErrMsg", {{"ERMSG_00", "zero"}, {"ERMSG_01", "one"}, {"ERMSG_XX", "fallback"}}},
    {"Other", {{"a", "b"}}},
};

class DumpTest : public ZwxTest {
  protected:
    void SetUp() override {
        ZwxTest::SetUp();
        file_ = Zwx_Build(kSections, &layout_);
    }
    uint32_t Entry(size_t section, size_t entry) const {
        return layout_.entryOffsets[section][entry];
    }
    // Dumps file_, expects damage naming what, and returns the sections the
    // dump's source compiles to.
    std::vector<ZwxSection> DumpDamaged(const std::string &what) {
        Write("damaged.zwx", file_);
        EXPECT_EQ(Run({"dump", Path("damaged.zwx")}), ZWX_EXIT_FINDINGS);
        EXPECT_NE(io_.err.find(what), std::string::npos) << io_.err;
        const SourceResult back = Source_Parse(io_.out, "dump", 1252);
        EXPECT_TRUE(back.errors.empty()) << io_.out;
        return back.sections;
    }

    std::vector<uint8_t> file_;
    ZwxLayout layout_;
};

TEST_F(DumpTest, EntryChainsThatLoopLeaveOrStopEarly) {
    Zwx_PutU32(&file_, layout_.sectionOffsets[0] + DATAFILE_SECTION_COUNT, 5);
    Zwx_PutU32(&file_, Entry(0, 2) + DATAFILE_ENTRY_NEXT, Entry(0, 0));
    std::vector<ZwxSection> kept = DumpDamaged("section 1 [QORBA_ErrMsg] at 0x8: the entry chain "
                                               "loops back to a record it has read");
    EXPECT_NE(io_.err.find("after 3 of 5 entries"), std::string::npos);
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0].entries.size(), 3u) << "everything before the damage is kept";

    Zwx_PutU32(&file_, Entry(0, 2) + DATAFILE_ENTRY_NEXT, 0);
    DumpDamaged("the entry chain runs into the file header at 0x0 after 3 of 5 entries");

    Zwx_PutU32(&file_, Entry(0, 0) + DATAFILE_ENTRY_NEXT, 0x100000);
    kept = DumpDamaged("the entry chain leaves the file at 0x100000 after 1 of 5 entries");
    EXPECT_EQ(kept[1].entries.size(), 1u) << "the next section is still dumped";
}

TEST_F(DumpTest, SectionChainsThatLoopOrAreCutShort) {
    Zwx_PutU32(&file_, layout_.sectionOffsets[1] + DATAFILE_SECTION_NEXT,
               layout_.sectionOffsets[0]);
    EXPECT_EQ(DumpDamaged("the section chain loops back").size(), 2u);

    file_.resize(layout_.sectionOffsets[1] + 20);
    const std::vector<ZwxSection> kept = DumpDamaged(
        "the section chain ends in a record that the end of the file cuts short at 0x48");
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].entries.size(), 0u) << "its entries lay past the end";

    file_.resize(5);
    EXPECT_TRUE(DumpDamaged("shorter than its 8-byte header").empty());
}

TEST_F(DumpTest, StringsWithoutNul) {
    const std::vector<uint8_t> clean = file_;
    // A value that runs into the end of the file: the library reads it as it is.
    file_.insert(file_.end(), {'t', 'a', 'i', 'l'});
    Zwx_PutU32(&file_, Entry(1, 0) + DATAFILE_ENTRY_VALUE, static_cast<uint32_t>(file_.size() - 4));
    std::vector<ZwxSection> kept = DumpDamaged("section 2 [Other] at 0x48: entry 1: the value at");
    EXPECT_NE(io_.err.find("has no NUL; the end of the file ends it"), std::string::npos);
    EXPECT_EQ(kept[1].entries[0].value, "tail");

    // One that runs 290 bytes without a NUL has no source form.
    file_ = clean;
    file_.insert(file_.end(), 300, 'v');
    file_.push_back(0);
    Zwx_PutU32(&file_, Entry(0, 1) + DATAFILE_ENTRY_VALUE,
               static_cast<uint32_t>(file_.size() - 301));
    kept = DumpDamaged("entry 2: the value at");
    EXPECT_NE(io_.err.find("has no NUL within 290 bytes; entry left out"), std::string::npos);
    EXPECT_EQ(kept[0].entries.size(), 2u);

    // A name that fills its field matches nothing; the section is left out.
    file_ = clean;
    for (uint32_t i = 0; i < 32; ++i) {
        file_[layout_.sectionOffsets[0] + i] = 'N';
    }
    kept = DumpDamaged("section 1 at 0x8: the name field has no NUL; section left out");
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].name, "Other");
}

// Random damage anywhere in a file: dump and check answer, and the dump
// compiles.
TEST_F(DumpTest, RandomDamageNeverBreaksTheTool) {
    std::mt19937 random(20240);
    const std::vector<uint8_t> clean = file_;
    for (int round = 0; round < 300; ++round) {
        file_ = clean;
        const int changes = 1 + static_cast<int>(random() % 4);
        for (int c = 0; c < changes; ++c) {
            const uint32_t at = static_cast<uint32_t>(random() % file_.size());
            file_[at] = static_cast<uint8_t>(random() % 3 == 0 ? 0xFF : random() % 256);
        }
        if (random() % 5 == 0) {
            file_.resize(random() % file_.size());
        }
        Write("fuzz.zwx", file_);
        const int dumped = Run({"dump", Path("fuzz.zwx")});
        EXPECT_TRUE(dumped == ZWX_EXIT_OK || dumped == ZWX_EXIT_FINDINGS) << round;
        EXPECT_TRUE(Source_Parse(io_.out, "dump", 1252).errors.empty()) << round << io_.out;
        const int checked = Run({"check", Path("fuzz.zwx")});
        EXPECT_TRUE(checked == ZWX_EXIT_OK || checked == ZWX_EXIT_FINDINGS) << round;
    }
}

} // namespace
