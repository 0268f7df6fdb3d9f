// Data files for the benchmarks, built in memory with the producer's writer:
// what a host's ZEDWIC_D.ZWX looks like, a large one, and hostile ones.
#ifndef ZW_BENCH_BENCHFILES_H
#define ZW_BENCH_BENCHFILES_H

#include <cstdint>
#include <string>
#include <vector>

// The message section alone: 16 texts and the fallback.
std::vector<uint8_t> BenchFile_Catalogue();

// The 17 texts in the 101st of 201 sections, about 100 KiB.
std::vector<uint8_t> BenchFile_Realistic();

// 10,000 sections, about 16 MiB, the message section last in the chain.
std::vector<uint8_t> BenchFile_Large();

// A 64 MiB file whose message section has entry count 0xFFFFFFFF and a chain
// of entries at every 16 bytes: first the 16 numbered texts, then entries
// keyed with keyLength characters that name no slot (8 gives "ERMSG_ZZ",
// as long as a slot key). No fallback text, so the table never fills and the
// walk runs the whole chain.
std::vector<uint8_t> BenchFile_Hostile(uint32_t keyLength);

const uint32_t BENCHFILE_HOSTILE_SIZE = 64u << 20;

// A message section whose chain runs through junkEntries entries keyed with
// "ERMSG_ZZ" (16 bytes apart) before the 16 numbered texts and the fallback:
// an ordinary catalogue behind a long but finite walk.
std::vector<uint8_t> BenchFile_LongChain(uint32_t junkEntries);

// The text every generated catalogue gives code (16 for the fallback).
std::string BenchFile_Text(int code);

bool BenchFile_Write(const std::string &path, const std::vector<uint8_t> &bytes);

#endif
