// Independent of the reader on purpose: the offsets and sizes of the layout
// are written out here again, and datafile_layout.h is not used, so that a
// mistake in the library's definition or its rules is not shared by the model
// the tests compare it with. Only the cache's shape comes from datafile.h.
#include "loadmodel.h"

#include "datafile.h"
#include "errmsg.h"

#include <algorithm>
#include <cstring>
#include <list>
#include <unordered_set>

namespace {

const uint32_t kReadError = 0xFFFFFFFFu;
const uint32_t kSeekLimit = 0x80000000u;
const uint32_t kBlock = DATAFILE_BLOCK_SIZE;
const uint32_t kStringScan = 290;
const uint32_t kKeySize = 128;
const uint32_t kTextSize = 290;
const char *const kKeys[MODEL_SLOTS] = {
    "ERMSG_00", "ERMSG_01", "ERMSG_02", "ERMSG_03", "ERMSG_04", "ERMSG_05",
    "ERMSG_06", "ERMSG_07", "ERMSG_08", "ERMSG_09", "ERMSG_10", "ERMSG_11",
    "ERMSG_12", "ERMSG_13", "ERMSG_14", "ERMSG_15", "ERMSG_XX",
};

uint32_t U32(const uint8_t *p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameIgnoringAsciiCase(const std::string &a, const std::string &b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) {
            return false;
        }
    }
    return true;
}

bool Hits(uint32_t number, uint32_t target, bool later) {
    return target != 0 && (number == target || (later && number > target));
}

struct Model {
    const std::vector<uint8_t> &bytes;
    FaultPlan faults;
    uint32_t allocs = 0;
    uint32_t reads = 0;
    bool image = false;
    bool repeats = false;
    // Blocks read through the handle, most recently used first.
    struct Block {
        uint32_t index;
        std::vector<uint8_t> bytes; // shorter than a block at the end of the file
    };
    std::list<Block> cache;
    bool hasCache = false; // its block was had

    bool Alloc() {
        ++allocs;
        return !Hits(allocs, faults.failAlloc, faults.failLaterAllocs);
    }

    // One read call at an absolute position of the open file.
    bool Read(uint64_t position, uint8_t *destination, uint32_t count, uint32_t *delivered) {
        ++reads;
        *delivered = 0;
        if (Hits(reads, faults.failRead, faults.failLaterReads)) {
            return false;
        }
        if (position < bytes.size()) {
            *delivered = static_cast<uint32_t>(std::min<uint64_t>(count, bytes.size() - position));
            memcpy(destination, bytes.data() + position, *delivered);
        }
        return true;
    }

    // An access as asked: a seek to offset (which fails at 2 GiB and above)
    // and reads until the bytes came, the file ended or a read failed.
    uint32_t ReadExactly(uint8_t *destination, uint32_t count, uint32_t offset) {
        if (offset >= kSeekLimit) {
            return 0;
        }
        uint32_t total = 0;
        for (;;) {
            uint32_t wanted = count - total;
            uint32_t delivered = 0;
            if (!Read(static_cast<uint64_t>(offset) + total, destination + total, wanted,
                      &delivered)) {
                return kReadError;
            }
            total += delivered;
            if (delivered >= wanted || delivered == 0) {
                return total;
            }
        }
    }

    // The block from the cache, or read whole now (evicting the least recently
    // used when the cache is full); null when one of its reads failed.
    const Block *CachedBlock(uint32_t index) {
        for (auto it = cache.begin(); it != cache.end(); ++it) {
            if (it->index == index) {
                cache.splice(cache.begin(), cache, it);
                return &cache.front();
            }
        }
        if (cache.size() == DATAFILE_CACHE_BLOCKS) {
            cache.pop_back();
        }
        std::vector<uint8_t> block(kBlock);
        const uint32_t got = ReadExactly(block.data(), kBlock, index * kBlock);
        if (got == kReadError) {
            return nullptr;
        }
        block.resize(got);
        cache.push_front({index, block});
        return &cache.front();
    }

    uint32_t ReadAt(uint8_t *destination, uint32_t count, uint32_t offset) {
        if (image) {
            if (offset >= bytes.size()) {
                return 0;
            }
            uint32_t copied =
                static_cast<uint32_t>(std::min<uint64_t>(count, bytes.size() - offset));
            memcpy(destination, bytes.data() + offset, copied);
            return copied;
        }
        if (count == 0 || count > kBlock || !hasCache) {
            return ReadExactly(destination, count, offset);
        }
        // Byte by byte through the blocks; a block that cannot be had, or one
        // at or past 2 GiB, sends the whole access the exact way.
        for (uint32_t i = 0; i < count; ++i) {
            const uint64_t at = static_cast<uint64_t>(offset) + i;
            const Block *block =
                at < kSeekLimit ? CachedBlock(static_cast<uint32_t>(at / kBlock)) : nullptr;
            if (block == nullptr) {
                return ReadExactly(destination, count, offset);
            }
            if (at % kBlock >= block->bytes.size()) {
                return i;
            }
            destination[i] = block->bytes[at % kBlock];
        }
        return count;
    }

    // Byte by byte; a key too long for its buffer is refused.
    bool ReadString(uint32_t offset, std::string *out, uint32_t destinationSize) {
        uint8_t scratch[kStringScan] = {};
        for (uint32_t i = 0; i < kStringScan; ++i) {
            uint64_t at = static_cast<uint64_t>(offset) + i;
            if (at <= UINT32_MAX &&
                ReadAt(&scratch[i], 1, static_cast<uint32_t>(at)) == kReadError) {
                return false;
            }
            if (scratch[i] == 0) {
                if (i + 1 > destinationSize) {
                    return false;
                }
                out->assign(reinterpret_cast<const char *>(scratch), i);
                return true;
            }
        }
        return false;
    }

    bool Open() {
        if (!Alloc()) {
            return false;
        }
        if (!faults.failSize && bytes.size() + faults.sizeSurplus <= g_dataFileImageLimit &&
            Alloc()) {
            std::vector<uint8_t> fill(bytes.size());
            uint32_t delivered = 0;
            image = Read(0, fill.data(), static_cast<uint32_t>(bytes.size()), &delivered);
        }
        if (!image) {
            hasCache = Alloc(); // handle mode, with the cache's block if it can be had
        }
        return true;
    }

    uint32_t FindSection() {
        uint8_t header[8] = {};
        ReadAt(header, sizeof header, 0);
        const uint32_t limit = U32(header + 4);
        uint8_t record[52] = {};
        uint32_t position = 8;
        std::unordered_set<uint32_t> visited{position};
        for (;;) {
            if (ReadAt(record, sizeof record, position) != sizeof record) {
                return 0;
            }
            const void *nul = memchr(record, 0, 32);
            if (nul != nullptr &&
                SameIgnoringAsciiCase(reinterpret_cast<const char *>(record), "QORBA_ErrMsg")) {
                return position < limit ? position : 0;
            }
            position = U32(record + 48);
            // A record visited again reads the same and leads round again.
            if (position >= limit) {
                return 0;
            }
            if (!visited.insert(position).second) {
                repeats = true;
                return 0;
            }
        }
    }

    void FillSlots(ModelTable *table, const std::string &key, uint32_t valueOffset) {
        for (size_t slot = 0; slot < MODEL_SLOTS; ++slot) {
            if (table->loaded[slot] || !SameIgnoringAsciiCase(kKeys[slot], key)) {
                continue;
            }
            if (!Alloc()) {
                continue;
            }
            table->loaded[slot] = true;
            std::string text;
            if (ReadString(valueOffset, &text, kTextSize)) {
                table->text[slot] = text;
            }
        }
    }

    void Load(ModelOutcome *outcome) {
        ModelTable table;
        outcome->endStates.clear();
        const uint32_t section = FindSection();
        uint8_t record[52] = {};
        if (section == 0 || ReadAt(record, sizeof record, section) == 0) {
            outcome->endStates.push_back(table);
            return;
        }
        uint8_t tail[12] = {};
        ReadAt(tail, sizeof tail, section + 52);
        const uint32_t count = U32(tail);

        uint8_t entry[16] = {};
        std::unordered_set<uint32_t> visited;
        bool repeated = false;
        uint64_t steps = count;
        for (uint64_t k = 0; k < steps; ++k) {
            const uint32_t offset = k == 0 ? U32(record + 32) : U32(entry + 12);
            if (!repeated && !visited.insert(offset).second) {
                // From here on the walk may stop; past a few rounds of the
                // cycle nothing new can load.
                repeated = true;
                repeats = true;
                steps = std::min<uint64_t>(steps, 4 * k + 64);
                outcome->endStates.push_back(table);
            }
            memset(entry, 0, sizeof entry);
            ReadAt(entry, sizeof entry, offset);
            std::string key;
            ReadString(U32(entry), &key, kKeySize);
            FillSlots(&table, key, U32(entry + 4));
            if (repeated && table != outcome->endStates.back()) {
                outcome->endStates.push_back(table);
            }
        }
        if (outcome->endStates.empty() || table != outcome->endStates.back()) {
            outcome->endStates.push_back(table);
        }
    }
};

} // namespace

bool operator==(const ModelTable &a, const ModelTable &b) {
    return a.loaded == b.loaded && a.text == b.text;
}

bool operator!=(const ModelTable &a, const ModelTable &b) {
    return !(a == b);
}

ModelOutcome Model_Load(const std::vector<uint8_t> &bytes, const FaultPlan &faults) {
    Model model{bytes, faults, 0, 0, false, false, {}, false};
    ModelOutcome outcome;
    outcome.opened = model.Open();
    outcome.imageMode = model.image;
    if (outcome.opened) {
        model.Load(&outcome);
    } else {
        outcome.endStates.push_back(ModelTable());
    }
    outcome.chainRepeats = model.repeats;
    outcome.allocs = model.allocs;
    outcome.reads = model.reads;
    return outcome;
}

std::string Model_Lookup(const ModelTable &table, int32_t code) {
    if (code >= 0 && code < 16 && table.loaded[static_cast<size_t>(code)]) {
        return table.text[static_cast<size_t>(code)];
    }
    return table.loaded[16] ? table.text[16] : std::string();
}

ModelTable Model_Snapshot() {
    ModelTable table;
    for (size_t slot = 0; slot < MODEL_SLOTS; ++slot) {
        const char *text = ErrMsgTable[slot].text;
        table.loaded[slot] = text != nullptr;
        if (text != nullptr) {
            table.text[slot].assign(text, strnlen(text, ERRMSG_TEXT_SIZE));
        }
    }
    return table;
}

bool Model_Accepts(const ModelOutcome &outcome, const ModelTable &table) {
    return std::find(outcome.endStates.begin(), outcome.endStates.end(), table) !=
           outcome.endStates.end();
}

std::string Model_Describe(const ModelTable &table) {
    std::string out;
    for (size_t slot = 0; slot < MODEL_SLOTS; ++slot) {
        if (table.loaded[slot]) {
            out += std::string(kKeys[slot]) + "=\"" + table.text[slot].substr(0, 40) + "\" ";
        }
    }
    return out.empty() ? "(empty)" : out;
}
