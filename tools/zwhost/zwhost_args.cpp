#include "zwhost_args.h"

#include <cctype>
#include <climits>
#include <cstring>

const char *const ZWHOST_SETTING_EXPORTS[5] = {
    "VOLQUAD_SettingExport",  "VOLQUAD_SettingImport", "VOLQUAD_PersonalInfoImport",
    "VOLQUAD_DefaultSetting", "VOLQUAD_FixSetting",
};

namespace {

bool SameIgnoringCase(const char *a, const char *b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        if (tolower(static_cast<unsigned char>(*a)) != tolower(static_cast<unsigned char>(*b))) {
            return false;
        }
    }
    return *a == *b;
}

// Magnitude of an unsigned decimal or 0x-hex word, at most limit.
bool ParseMagnitude(const char *word, uint64_t limit, uint64_t *out) {
    unsigned base = 10;
    if (word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) {
        base = 16;
        word += 2;
    }
    if (*word == '\0') {
        return false;
    }
    uint64_t value = 0;
    for (; *word != '\0'; ++word) {
        const int c = tolower(static_cast<unsigned char>(*word));
        unsigned digit;
        if (c >= '0' && c <= '9') {
            digit = static_cast<unsigned>(c - '0');
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = static_cast<unsigned>(c - 'a' + 10);
        } else {
            return false;
        }
        if (value > (limit - digit) / base) {
            return false;
        }
        value = value * base + digit;
    }
    *out = value;
    return true;
}

bool ParseSigned(const char *word, int64_t min, int64_t max, int64_t *out) {
    if (word == nullptr) {
        return false;
    }
    const bool negative = word[0] == '-';
    uint64_t magnitude = 0;
    const uint64_t limit =
        negative ? static_cast<uint64_t>(-(min + 1)) + 1 : static_cast<uint64_t>(max);
    if (!ParseMagnitude(negative ? word + 1 : word, limit, &magnitude)) {
        return false;
    }
    *out = negative ? (magnitude == 0 ? 0 : -static_cast<int64_t>(magnitude - 1) - 1)
                    : static_cast<int64_t>(magnitude);
    return true;
}

} // namespace

bool ZwHost_ParseCode(const char *word, int32_t *code) {
    int64_t value = 0;
    if (!ParseSigned(word, INT32_MIN, INT32_MAX, &value)) {
        return false;
    }
    *code = static_cast<int32_t>(value);
    return true;
}

bool ZwHost_ParseValue(const char *word, intptr_t *value) {
    if (word != nullptr && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) {
        uint64_t bits = 0;
        if (!ParseMagnitude(word, UINTPTR_MAX, &bits)) {
            return false;
        }
        *value = static_cast<intptr_t>(static_cast<uintptr_t>(bits));
        return true;
    }
    int64_t parsed = 0;
    if (!ParseSigned(word, INTPTR_MIN, INTPTR_MAX, &parsed)) {
        return false;
    }
    *value = static_cast<intptr_t>(parsed);
    return true;
}

const char *ZwHost_SettingExportName(const char *word) {
    const size_t prefix = strlen("VOLQUAD_");
    for (const char *name : ZWHOST_SETTING_EXPORTS) {
        if (SameIgnoringCase(word, name) || SameIgnoringCase(word, name + prefix)) {
            return name;
        }
    }
    return nullptr;
}
