// Command-line words of zwhost, parsed strictly: a bad number is an error, not 0.
#ifndef ZWHOST_ARGS_H
#define ZWHOST_ARGS_H

#include <cstdint>

// Decimal, or hexadecimal with 0x; a leading '-' for negative values. The
// whole word must be the number and it must fit.
bool ZwHost_ParseCode(const char *word, int32_t *code);
// A value is pointer-sized: a hexadecimal word without '-' gives its bits, up
// to 0xFFFFFFFF on x86 (0x80000000 and above are negative there) and
// 0xFFFFFFFFFFFFFFFF on x64; a decimal word must fit as a signed number.
bool ZwHost_ParseValue(const char *word, intptr_t *value);

// The export a command names: its full name ("VOLQUAD_FixSetting") or the
// part after the prefix ("FixSetting"), any case. Null when there is none.
const char *ZwHost_SettingExportName(const char *word);

// The five settings exports, in the order the library lists them.
extern const char *const ZWHOST_SETTING_EXPORTS[5];

#endif
