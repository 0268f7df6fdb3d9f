// The message table: loading from an open data file, release, lookup.
#include "errmsg.h"

#include <cstring>

const char ERRMSG_SECTION_NAME[] = "QORBA_ErrMsg";

ErrMsgSlot ErrMsgTable[ERRMSG_SLOT_COUNT] = {
    {"ERMSG_00", nullptr}, {"ERMSG_01", nullptr}, {"ERMSG_02", nullptr}, {"ERMSG_03", nullptr},
    {"ERMSG_04", nullptr}, {"ERMSG_05", nullptr}, {"ERMSG_06", nullptr}, {"ERMSG_07", nullptr},
    {"ERMSG_08", nullptr}, {"ERMSG_09", nullptr}, {"ERMSG_10", nullptr}, {"ERMSG_11", nullptr},
    {"ERMSG_12", nullptr}, {"ERMSG_13", nullptr}, {"ERMSG_14", nullptr}, {"ERMSG_15", nullptr},
    {"ERMSG_XX", nullptr}, {"", nullptr},
};

namespace {

const char ERRMSG_EMPTY_TEXT[] = "";

// FNV-1a over the name with ASCII capitals folded: names equal ignoring ASCII
// case hash alike.
uint32_t FoldedHash(const char *name) {
    uint32_t hash = 2166136261u;
    for (; *name != '\0'; ++name) {
        uint32_t c = static_cast<unsigned char>(*name);
        if (c >= 'A' && c <= 'Z') {
            c += 'a' - 'A';
        }
        hash = (hash ^ c) * 16777619u;
    }
    return hash;
}

// The slot keys up to the terminator, prepared once per load: a chain of
// millions of keys that name no slot would otherwise spend most of its time
// comparing each of them with every slot key.
struct SlotKeys {
    uint32_t count;
    size_t longest;
    uint32_t hashes[ERRMSG_SLOT_COUNT];
    uint64_t hashBits; // bit (hash >> 26) of every slot key's hash: most others miss it
};

uint64_t HashBit(uint32_t hash) {
    return uint64_t{1} << (hash >> 26);
}

void SlotKeys_Prepare(SlotKeys *keys) {
    keys->count = 0;
    keys->longest = 0;
    keys->hashBits = 0;
    for (; ErrMsgTable[keys->count].key[0] != '\0'; ++keys->count) {
        const char *key = ErrMsgTable[keys->count].key;
        keys->hashes[keys->count] = FoldedHash(key);
        keys->hashBits |= HashBit(keys->hashes[keys->count]);
        keys->longest = strlen(key) > keys->longest ? strlen(key) : keys->longest;
    }
}

// Gives every empty slot named key its text from valueOffset; returns how
// many slots were filled.
uint32_t FillSlots(DataFile *file, const char *key, const SlotKeys *slotKeys,
                   uint32_t valueOffset) {
    // ErrMsg_Load reads no key longer than the longest slot key.
    const uint32_t keyHash = FoldedHash(key);
    if ((slotKeys->hashBits & HashBit(keyHash)) == 0) {
        return 0;
    }
    uint32_t filled = 0;
    for (uint32_t s = 0; s < slotKeys->count; ++s) {
        ErrMsgSlot *slot = &ErrMsgTable[s];
        if (slotKeys->hashes[s] != keyHash || slot->text != nullptr ||
            !DataFile_NamesEqual(slot->key, key)) {
            continue;
        }
        slot->text = static_cast<char *>(Platform()->AllocZero(ERRMSG_TEXT_SIZE));
        if (slot->text == nullptr) {
            continue;
        }
        // An unreadable value leaves the zero-filled block: the empty text.
        DataFile_ReadString(file, valueOffset, slot->text, ERRMSG_TEXT_SIZE);
        ++filled;
    }
    return filled;
}

uint32_t CountFilled() {
    uint32_t filled = 0;
    for (const ErrMsgSlot *slot = ErrMsgTable; slot->key[0] != '\0'; ++slot) {
        filled += slot->text != nullptr ? 1 : 0;
    }
    return filled;
}

} // namespace

void ErrMsg_Load(DataFile *file) {
    if (file == nullptr) {
        return;
    }
    const uint32_t section = DataFile_FindSection(file, ERRMSG_SECTION_NAME);
    if (section == 0) {
        return;
    }
    uint8_t record[DATAFILE_SECTION_HEAD_SIZE] = {};
    if (DataFile_ReadAt(file, record, sizeof record, section) == 0) {
        return;
    }
    uint8_t tail[DATAFILE_SECTION_TAIL_SIZE] = {};
    DataFile_ReadAt(file, tail, sizeof tail, section + DATAFILE_SECTION_COUNT);
    const uint32_t count = DataFile_GetU32(tail);

    // The count is the walk's bound, but it may be anything; a full table or
    // a chain that comes back to an entry it has read ends the walk early
    // without changing what it loads.
    const uint32_t slotsToFill = ERRMSG_SLOT_COUNT - 1;
    uint32_t filled = CountFilled();
    SlotKeys slotKeys;
    SlotKeys_Prepare(&slotKeys);
    uint8_t entry[DATAFILE_ENTRY_SIZE] = {};
    uint32_t offset = DataFile_GetU32(record + DATAFILE_SECTION_FIRST_ENTRY);
    ChainGuard guard;
    ChainGuard_Start(&guard, offset);
    for (uint32_t k = 0; k < count && filled < slotsToFill; ++k) {
        if (k > 0) {
            offset = DataFile_GetU32(entry + DATAFILE_ENTRY_NEXT);
            if (ChainGuard_Repeats(&guard, offset)) {
                return;
            }
        }
        memset(entry, 0, sizeof entry);
        DataFile_ReadAt(file, entry, sizeof entry, offset);

        // A key longer than the longest slot key names no slot, whether it
        // fits the key buffer or not: reading more of it would change nothing.
        char key[ERRMSG_KEY_SIZE];
        key[0] = '\0'; // stays empty when the key cannot be read
        DataFile_ReadString(file, DataFile_GetU32(entry + DATAFILE_ENTRY_KEY), key,
                            static_cast<uint32_t>(slotKeys.longest) + 1);
        if (key[0] == '\0') {
            continue; // no slot has the empty key
        }
        filled += FillSlots(file, key, &slotKeys, DataFile_GetU32(entry + DATAFILE_ENTRY_VALUE));
    }
}

void ErrMsg_Free() {
    for (ErrMsgSlot *slot = ErrMsgTable; slot->key[0] != '\0'; ++slot) {
        if (slot->text != nullptr) {
            Platform()->Free(slot->text);
            slot->text = nullptr;
        }
    }
}

extern "C" const char *ZEDWIC_W_CALL VOLQUAD_GetErrorMsg(int32_t code) {
    const uint32_t index = static_cast<uint32_t>(code);
    if (index < ERRMSG_CODE_COUNT && ErrMsgTable[index].text != nullptr) {
        return ErrMsgTable[index].text;
    }
    if (ErrMsgTable[ERRMSG_FALLBACK_SLOT].text != nullptr) {
        return ErrMsgTable[ERRMSG_FALLBACK_SLOT].text;
    }
    return ERRMSG_EMPTY_TEXT;
}
