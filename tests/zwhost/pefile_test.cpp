// What the tools' PE reader (zwhost, pecheck) reads from a module's own bytes,
// on images built here: a whole one, every cut of it, and header fields that
// point anywhere.
#include "pefile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

void Put16(std::vector<uint8_t> *b, size_t at, uint16_t v) {
    (*b)[at] = static_cast<uint8_t>(v);
    (*b)[at + 1] = static_cast<uint8_t>(v >> 8);
}

void Put32(std::vector<uint8_t> *b, size_t at, uint32_t v) {
    Put16(b, at, static_cast<uint16_t>(v));
    Put16(b, at + 2, static_cast<uint16_t>(v >> 16));
}

const size_t kPe = 0x40;
const size_t kOptional = kPe + 24;
const size_t kSections = kOptional + 240; // PE32+ optional header with 16 directories
const size_t kRaw = 0x200;                // file offset of the one section
const uint32_t kRva = 0x1000;             // its address in the image

// A PE32+ DLL for machine with one section holding an import directory that
// names the given DLLs.
std::vector<uint8_t> Image(uint16_t machine, const std::vector<std::string> &imports,
                           const std::vector<std::string> &exports = {}) {
    std::vector<uint8_t> b(kRaw + 0x200, 0);
    b[0] = 'M';
    b[1] = 'Z';
    Put32(&b, 0x3C, kPe);
    Put32(&b, kPe, 0x00004550u);
    Put16(&b, kPe + 4, machine);
    Put16(&b, kPe + 6, 1);
    Put16(&b, kPe + 20, 240);
    Put16(&b, kPe + 22, 0x2022); // DLL, executable, large addresses
    Put16(&b, kOptional, 0x20b);
    Put32(&b, kOptional + 108, 16);
    Put32(&b, kOptional + 112 + 8, kRva); // import directory
    Put32(&b, kSections + 8, 0x200);
    Put32(&b, kSections + 12, kRva);
    Put32(&b, kSections + 16, 0x200);
    Put32(&b, kSections + 20, kRaw);
    size_t name = kRaw + 20 * (imports.size() + 1);
    for (size_t i = 0; i < imports.size(); ++i) {
        Put32(&b, kRaw + 20 * i + 12, static_cast<uint32_t>(kRva + name - kRaw));
        memcpy(&b[name], imports[i].c_str(), imports[i].size() + 1);
        name += imports[i].size() + 1;
    }
    if (!exports.empty()) {
        // The export directory, then its table of name addresses, then the names.
        const size_t directory = name;
        const size_t table = directory + 40;
        name = table + 4 * exports.size();
        Put32(&b, kOptional + 112, static_cast<uint32_t>(kRva + directory - kRaw));
        Put32(&b, directory + 24, static_cast<uint32_t>(exports.size()));
        Put32(&b, directory + 32, static_cast<uint32_t>(kRva + table - kRaw));
        for (size_t i = 0; i < exports.size(); ++i) {
            Put32(&b, table + 4 * i, static_cast<uint32_t>(kRva + name - kRaw));
            memcpy(&b[name], exports[i].c_str(), exports[i].size() + 1);
            name += exports[i].size() + 1;
        }
    }
    return b;
}

TEST(PeFileTest, ReadsMachineKindAndImports) {
    const std::vector<uint8_t> dll = Image(PEFILE_MACHINE_X64, {"KERNEL32.dll", "zwu_helper.dll"});
    PeFile image = PeFile_Read(dll.data(), dll.size());
    EXPECT_TRUE(image.isImage);
    EXPECT_EQ(image.machine, PEFILE_MACHINE_X64);
    EXPECT_TRUE(image.isDll);
    EXPECT_TRUE(image.importsReadable);
    EXPECT_EQ(image.imports, (std::vector<std::string>{"KERNEL32.dll", "zwu_helper.dll"}));
    EXPECT_TRUE(image.exportsReadable) << "no export directory: no exports";
    EXPECT_TRUE(image.exports.empty());

    const std::vector<uint8_t> x86 = Image(0x014C, {});
    image = PeFile_Read(x86.data(), x86.size());
    EXPECT_EQ(PeFile_MachineName(image.machine), "x86 (32-bit)");
    EXPECT_TRUE(image.importsReadable);
    EXPECT_TRUE(image.imports.empty());
    EXPECT_EQ(PeFile_MachineName(0x1234), "machine 0x1234");

    const char text[] = "not a DLL\n";
    image = PeFile_Read(reinterpret_cast<const uint8_t *>(text), sizeof text - 1);
    EXPECT_FALSE(image.isImage);
    EXPECT_NE(image.notImage.find("MZ header"), std::string::npos);
}

// Every cut of the file: nothing is read past the end (the sanitizer builds
// catch a read), and what is found is a prefix of what the whole file says.
TEST(PeFileTest, CutFilesAreReadOnlyAsFarAsTheyGo) {
    const std::vector<uint8_t> dll =
        Image(PEFILE_MACHINE_X64, {"KERNEL32.dll", "zwu_helper.dll"}, {"VOLQUAD_FixSetting", "X"});
    const PeFile whole = PeFile_Read(dll.data(), dll.size());
    ASSERT_TRUE(whole.exportsReadable);
    EXPECT_EQ(whole.exports, (std::vector<std::string>{"VOLQUAD_FixSetting", "X"}));
    for (size_t size = 0; size <= dll.size(); ++size) {
        const std::vector<uint8_t> cut(dll.begin(), dll.begin() + static_cast<long>(size));
        const PeFile image = PeFile_Read(cut.data(), cut.size());
        EXPECT_EQ(image.isImage, size >= kPe + 24) << size;
        EXPECT_LE(image.imports.size(), 2u) << size;
        for (size_t i = 0; i < image.imports.size(); ++i) {
            EXPECT_EQ(image.imports[i], i == 0 ? "KERNEL32.dll" : "zwu_helper.dll") << size;
        }
        if (image.importsReadable) {
            EXPECT_EQ(image.imports.size(), 2u) << size;
        }
        for (size_t i = 0; i < image.exports.size(); ++i) {
            EXPECT_EQ(image.exports[i], whole.exports[i]) << size;
        }
        if (image.exportsReadable) {
            EXPECT_EQ(image.exports, whole.exports) << size;
        }
    }
}

TEST(PeFileTest, FieldsThatPointAnywhereStayInsideTheFile) {
    const std::vector<uint8_t> dll = Image(PEFILE_MACHINE_X64, {"KERNEL32.dll"}, {"F"});
    const size_t exportDirectory = kRaw + 40 + sizeof "KERNEL32.dll";
    const size_t fields[] = {exportDirectory + 24,
                             exportDirectory + 32,
                             exportDirectory + 40,
                             kOptional + 112,
                             0x3C,
                             kPe + 6,
                             kPe + 20,
                             kOptional + 108,
                             kOptional + 120,
                             kSections + 8,
                             kSections + 12,
                             kSections + 16,
                             kSections + 20,
                             kRaw + 12};
    for (size_t field : fields) {
        for (uint32_t value : {0u, 1u, 0x7FFFFFFFu, 0xFFFFFFF0u, 0xFFFFFFFFu}) {
            std::vector<uint8_t> bent = dll;
            if (field == kPe + 6 || field == kPe + 20) {
                Put16(&bent, field, static_cast<uint16_t>(value));
            } else {
                Put32(&bent, field, value);
            }
            const PeFile image = PeFile_Read(bent.data(), bent.size());
            EXPECT_LE(image.imports.size(), 1u) << field << " " << value;
            EXPECT_LE(image.exports.size(), 1u) << field << " " << value;
            EXPECT_LE(image.exports.size(), 65536u) << field << " " << value;
        }
    }
}

} // namespace
