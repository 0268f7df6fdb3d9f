// What the zwx commands share: reading their inputs, writing their outputs,
// naming files in messages, the code page of a data file, the slot a key
// fills. Each command lives in a file of its own (*_cmd.cpp) and calls only
// these, never another command's file.
#ifndef ZWX_CMD_SHARED_H
#define ZWX_CMD_SHARED_H

#include "datafile.h"
#include "po.h"
#include "zwxcmd.h"
#include "zwxwrite.h"

#include <cstdint>
#include <string>
#include <vector>

// No entry: of a section (a finding about the whole file), or of the
// library's table (a key that fills no slot).
const uint32_t ZWX_NO_ENTRY = 0xFFFFFFFFu;

// The slot of the library's table a key fills, matched as ErrMsg_Load matches
// it; ZWX_NO_ENTRY for none.
uint32_t ZwxCmd_SlotOf(const std::string &key);

// A key as the library matches it, ASCII letters in one case: keys that the
// library takes as one give one folded key (for hash maps of keys).
std::string ZwxCmd_FoldedKey(const std::string &key);

// A path as messages name it: "-" is "<stdin>", or "<stdout>" as an output.
std::string ZwxCmd_Label(const std::string &path);
std::string ZwxCmd_OutputLabel(const std::string &path);

// Why a file did not open, for "zwx: cannot read ...: <why>", as every command says it.
std::string ZwxCmd_OpenFailure(const std::string &path);

// A name, key or value as the source writes it, in quotes escaped as a PO
// string escapes them, so that a message that shows one stays one line.
std::string ZwxCmd_QuotedSource(const std::string &bytes, uint32_t codePage);

// The text of a file, or of standard input for "-"; false after saying why
// in io->err.
bool ZwxCmd_ReadInput(const std::string &path, ZwxStreams *io, std::string *text);

// False, said in io->err, when output is input itself (or may be).
bool ZwxCmd_CheckOutput(const std::string &input, const std::string &output, ZwxStreams *io);

// A data file named by path, or read from standard input for "-" into *held
// (keep it until ToolData_Close); null after saying why in io->err.
DataFile *ZwxCmd_OpenData(const std::string &path, ZwxStreams *io, std::string *held);

// The code page to show a data file's texts in: options.codePage when given,
// else the one the file records, else the default. Notes a conflict or an
// unknown record in io->err.
uint32_t ZwxCmd_FileCodePage(DataFile *file, const std::string &path, const ZwxOptions &options,
                             ZwxStreams *io);

// Where in the input each section and each of its entries begins.
struct ZwxLines {
    std::vector<size_t> sections;             // 0: no line of its own
    std::vector<std::vector<size_t>> entries; // per section
};

// Builds a data file recording codePage and writes it to options.output.
// What check would warn about goes to io->err as name:LINE: warnings (the
// line where lines are given), or as errors that stop the write when
// options.strict.
int ZwxCmd_WriteData(const std::vector<ZwxSection> &sections, uint32_t codePage,
                     const std::string &name, const ZwxOptions &options, const ZwxLines *lines,
                     ZwxStreams *io);

// What a command writes (a data file, a source, a PO file) to options.output
// ("-" or none: standard output).
int ZwxCmd_WriteText(const std::string &text, const ZwxOptions &options, ZwxStreams *io);

// The PO commands.

// One text the library loads from the message section.
struct ZwxLoaded {
    std::string key;  // as the file spells it
    std::string text; // UTF-8
    uint32_t slot;
};

// The texts the library loads from a data file, in chain order: the first
// entry of each slot whose key and value it can read. What cannot go into a
// PO file is said in io->err and counted in *leftOut.
std::vector<ZwxLoaded> ZwxCmd_LoadTexts(DataFile *file, const std::string &label, uint32_t codePage,
                                        ZwxStreams *io, size_t *leftOut);

// The texts of the data file named by path, as ZwxCmd_LoadTexts; false when
// it cannot be read.
bool ZwxCmd_ReadReference(const std::string &path, const ZwxOptions &options, ZwxStreams *io,
                          std::vector<ZwxLoaded> *texts, size_t *leftOut);

// A PO file read and parsed; false after saying why (its errors included).
bool ZwxCmd_ReadPo(const std::string &path, ZwxStreams *io, PoFile *po);

// An entry that carries a text to translate: not obsolete, not the header.
bool ZwxCmd_Translatable(const PoEntry &entry);

// What a slot is for, as a PO comment and compare-po say it.
std::string ZwxCmd_SlotRole(uint32_t slot);

#endif
