// Hostile files in every read mode: each loads what the file's layout and the
// load's rules give, the same in every mode, and the load ends. hostile_times
// prints how long they take.
#include "hostile.h"
#include "sweep.h"

#include <map>
#include <string>

namespace {

using Texts = std::map<size_t, std::string>; // slot -> text; slots not named stay empty

Texts Catalogue(bool withFallback) {
    Texts texts;
    for (size_t code = 0; code < 16; ++code) {
        texts[code] = "text " + std::to_string(code);
    }
    if (withFallback) {
        texts[16] = "fallback";
    }
    return texts;
}

class HostileTest : public SweepTest {
  protected:
    // The chains that run through a whole file are smaller here, to keep
    // the runs under valgrind short; hostile_times loads the 64 MiB ones.
    static uint32_t LargeSize() {
        return 4u << 20;
    }
    void ExpectLoads(const std::vector<uint8_t> &bytes, const Texts &expected) {
        const std::string path = Write(bytes);
        const LoadRun run = Load(path, bytes, FaultPlan());
        ASSERT_TRUE(run.opened);
        EXPECT_EQ(run.imageMode, GetParam() == ReadMode::Image || bytes.empty());
        for (size_t slot = 0; slot < TABLE_SLOTS; ++slot) {
            const auto it = expected.find(slot);
            EXPECT_EQ(run.table.loaded[slot], it != expected.end()) << "slot " << slot;
            EXPECT_EQ(run.table.text[slot], it != expected.end() ? it->second : "")
                << "slot " << slot;
        }
        EXPECT_EQ(run.counts.blocks, 0u);
        EXPECT_EQ(run.counts.handles, 0u);
    }
};

TEST_P(HostileTest, SectionChainThatCyclesFindsNothing) {
    ExpectLoads(Hostile_SectionCycle(), {});
}

TEST_P(HostileTest, EntryChainsThatCycleLoadWhatTheyMeet) {
    const Texts abc = {{0, "a"}, {1, "b"}, {2, "c"}};
    ExpectLoads(Hostile_EntryCycle(0, 1), abc); // the last entry names itself
    ExpectLoads(Hostile_EntryCycle(1000, 1000), abc);
    ExpectLoads(Hostile_EntryCycle(1, 5000), abc);
}

TEST_P(HostileTest, SectionChainThroughEvery16BytesOfALargeFile) {
    ExpectLoads(Hostile_SectionChain(LargeSize()), Catalogue(true));
    // Each record about 1 MiB from the last, under an all-ones limit.
    ExpectLoads(Hostile_ScatteredSections(LargeSize(), 16385), Catalogue(true));
}

TEST_P(HostileTest, EntryChainThroughEvery16BytesOfALargeFile) {
    // No fallback entry: the walk goes on past the catalogue, off the end of
    // the file, and must still end.
    ExpectLoads(Hostile_EntryChain(LargeSize(), 8), Catalogue(false));
    // Each step about 1 MiB from the last, then in random order: every step
    // lands where the last did not.
    ExpectLoads(Hostile_ScatteredChain(LargeSize(), 65537), Catalogue(false));
    ExpectLoads(Hostile_RandomChain(LargeSize()), Catalogue(false));
}

TEST_P(HostileTest, ACatalogueSpreadOverManyBlocksLoadsWhole) {
    ExpectLoads(Hostile_SpreadCatalogue(20), Catalogue(true));
}

TEST_P(HostileTest, StringsThatRunIntoTheEndOfTheFile) {
    ExpectLoads(Hostile_ValuesToTheEnd(), {{1, std::string(100, 'v')},
                                           {2, std::string(289, 'v')},
                                           {3, ""},
                                           {4, "v"},
                                           {5, ""},
                                           {16, "fallback"}});
    ExpectLoads(Hostile_KeyToTheEnd(), {{7, "seven"}});
}

TEST_P(HostileTest, OffsetsAtAndBeyond2GiBReadNothing) {
    // Past the end in image mode; through the handle 0x7FFFFFFF seeks and
    // reads nothing, the others fail to seek. Both read as zero bytes.
    for (uint32_t far : {0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(testing::Message() << std::hex << far);
        ExpectLoads(Hostile_FarStrings(far), {{0, "zero"}, {2, ""}, {3, "three"}});
        ExpectLoads(Hostile_FarFirstEntry(far), {});
        ExpectLoads(Hostile_FarNextSection(far), {});
    }
}

INSTANTIATE_TEST_SUITE_P(AllModes, HostileTest, ALL_READ_MODES);

} // namespace
