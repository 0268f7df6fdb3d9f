// The built library loaded from folders of the test's choosing: its catalogue
// comes from its own folder, is released on unload, and holds no file open.
#include "catalogue.h"
#include "dllhost.h"
#include "tempfile.h"
#include "zwxwrite.h"

#include <gtest/gtest.h>

namespace {

std::vector<uint8_t> Catalogue(const std::string &label) {
    return Zwx_Build({{"QORBA_ErrMsg", TestCatalogue(label + " ", (label + " fallback").c_str())}},
                     nullptr);
}

void ExpectCatalogue(const LoadedDll &dll, const std::string &label) {
    ASSERT_NE(dll.getErrorMsg, nullptr);
    for (int code = 0; code < 16; ++code) {
        EXPECT_EQ(std::string(dll.getErrorMsg(code)), label + " " + std::to_string(code));
    }
    for (int code : {16, 99, -1}) {
        EXPECT_EQ(std::string(dll.getErrorMsg(code)), label + " fallback") << code;
    }
}

void ExpectEmpty(const LoadedDll &dll) {
    ASSERT_NE(dll.getErrorMsg, nullptr);
    for (int code = -1; code <= 17; ++code) {
        EXPECT_STREQ(dll.getErrorMsg(code), "") << code;
    }
    EXPECT_STREQ(dll.getErrorMsg(99), "");
}

class DllTest : public testing::Test {
  protected:
    void SetUp() override {
        root_ = TempDir_Create(" zw dll");
        ASSERT_FALSE(root_.empty());
        char cwd[MAX_PATH] = {};
        GetCurrentDirectoryA(MAX_PATH, cwd);
        savedCwd_ = cwd;
    }
    void TearDown() override {
        DllHost_Unload(&dll_);
        SetCurrentDirectoryA(savedCwd_.c_str());
        TempDir_Remove(root_);
    }
    std::string Folder(const std::string &relative) {
        const std::string folder = root_ + "\\" + relative;
        for (size_t end = root_.size() + 1; end != std::string::npos;) {
            end = folder.find('\\', end + 1);
            const std::string step = folder.substr(0, end);
            EXPECT_TRUE(CreateDirectoryA(step.c_str(), nullptr) ||
                        GetLastError() == ERROR_ALREADY_EXISTS)
                << step;
        }
        return folder;
    }

    std::string root_;
    std::string savedCwd_;
    LoadedDll dll_ = {nullptr, nullptr};
};

TEST_F(DllTest, TheCatalogueComesFromTheLibrarysOwnFolder) {
    std::string deep = "deep";
    while (deep.size() < 150) {
        deep += "\\folder level";
    }
    for (const std::string &relative :
         {std::string("plain"), std::string("with spaces in it"), deep}) {
        const std::string folder = Folder(relative);
        ASSERT_TRUE(DllHost_Place(folder));
        ASSERT_TRUE(File_Write(folder + "\\ZEDWIC_D.ZWX", Catalogue(relative)));
        dll_ = DllHost_Load(folder + "\\ZEDWIC_W.dll");
        ASSERT_NE(dll_.module, nullptr) << folder;
        ExpectCatalogue(dll_, relative);
        DllHost_Unload(&dll_);
    }
}

TEST_F(DllTest, NeverFromTheCurrentFolder) {
    const std::string library = Folder("library");
    const std::string current = Folder("current");
    ASSERT_TRUE(DllHost_Place(library));
    ASSERT_TRUE(File_Write(current + "\\ZEDWIC_D.ZWX", Catalogue("current")));
    ASSERT_TRUE(SetCurrentDirectoryA(current.c_str()));

    dll_ = DllHost_Load(library + "\\ZEDWIC_W.dll");
    ASSERT_NE(dll_.module, nullptr);
    ExpectEmpty(dll_);
    DllHost_Unload(&dll_);

    ASSERT_TRUE(File_Write(library + "\\ZEDWIC_D.ZWX", Catalogue("library")));
    dll_ = DllHost_Load(library + "\\ZEDWIC_W.dll");
    ExpectCatalogue(dll_, "library");
}

TEST_F(DllTest, UnloadAndReloadPicksUpAChangedDataFile) {
    const std::string folder = Folder("reload");
    ASSERT_TRUE(DllHost_Place(folder));
    ASSERT_TRUE(File_Write(folder + "\\ZEDWIC_D.ZWX", Catalogue("before")));
    dll_ = DllHost_Load(folder + "\\ZEDWIC_W.dll");
    ExpectCatalogue(dll_, "before");
    DllHost_Unload(&dll_);
    EXPECT_EQ(GetModuleHandleA((folder + "\\ZEDWIC_W.dll").c_str()), nullptr);

    ASSERT_TRUE(File_Write(folder + "\\ZEDWIC_D.ZWX", Catalogue("after")));
    dll_ = DllHost_Load(folder + "\\ZEDWIC_W.dll");
    ExpectCatalogue(dll_, "after");
    DllHost_Unload(&dll_);

    ASSERT_TRUE(DeleteFileA((folder + "\\ZEDWIC_D.ZWX").c_str()));
    dll_ = DllHost_Load(folder + "\\ZEDWIC_W.dll");
    ExpectEmpty(dll_);
}

TEST_F(DllTest, TheDataFileIsClosedOnceLoaded) {
    const std::string folder = Folder("closed");
    ASSERT_TRUE(DllHost_Place(folder));
    const std::string data = folder + "\\ZEDWIC_D.ZWX";
    ASSERT_TRUE(File_Write(data, Catalogue("closed")));
    dll_ = DllHost_Load(folder + "\\ZEDWIC_W.dll");
    ASSERT_NE(dll_.module, nullptr);
    // Exclusive write access is refused while anyone holds the file open.
    HANDLE h = CreateFileA(data.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(h, INVALID_HANDLE_VALUE) << GetLastError();
    if (h != INVALID_HANDLE_VALUE) {
        CloseHandle(h);
    }
    ExpectCatalogue(dll_, "closed");
}

TEST_F(DllTest, AFolderTooDeepForTheDataFileNameLoadsNothing) {
    // 248 characters of folder take "Z.dll" but not "ZEDWIC_D.ZWX"; a cut
    // path would name the decoy "ZEDWIC_D.ZW" beside it.
    std::string relative = "d";
    const size_t wanted = 248 - root_.size() - 2;
    ASSERT_LT(root_.size() + 10, 248u);
    relative += std::string(wanted - relative.size(), 'e');
    const std::string folder = Folder(relative);
    ASSERT_EQ(folder.size() + 1, 248u);
    ASSERT_TRUE(DllHost_Place(folder, "Z.dll"));
    ASSERT_TRUE(File_Write(folder + "\\ZEDWIC_D.ZW", Catalogue("decoy")));
    dll_ = DllHost_Load(folder + "\\Z.dll");
    ASSERT_NE(dll_.module, nullptr) << GetLastError();
    ExpectEmpty(dll_);
}

// Cyrillic and Japanese letters: outside the ANSI code page, so the folder's
// 8-bit name holds '?' where they stand.
TEST_F(DllTest, AFolderOutsideTheAnsiCodePageHoldsTheCatalogue) {
    const std::wstring folder =
        DllHost_Widen(root_) + L"\\\u041f\u0430\u043f\u043a\u0430 \u65e5\u672c\u8a9e";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(DllHost_PlaceW(folder));
    ASSERT_TRUE(DllHost_WriteW(folder + L"\\ZEDWIC_D.ZWX", Catalogue("wide")));
    dll_ = DllHost_LoadW(folder + L"\\ZEDWIC_W.dll");
    ASSERT_NE(dll_.module, nullptr) << GetLastError();
    ExpectCatalogue(dll_, "wide");
}

// The limit counts UTF-16 units, as for any other name: a folder of 246 of
// them with Japanese letters (over 259 bytes of UTF-8) takes the data file's
// name, one of 247 does not, and a cut path would name the decoy.
TEST_F(DllTest, TheDepthLimitCountsCharactersOfTheWideName) {
    for (const size_t units : {size_t{246}, size_t{247}}) {
        SCOPED_TRACE(units);
        std::wstring folder = DllHost_Widen(root_);
        while (folder.size() + 1 < units) {
            const size_t room = units - folder.size() - 1;
            folder += L"\\" + std::wstring(room < 60 ? room : 60, L'\u65e5');
            ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr) ||
                        GetLastError() == ERROR_ALREADY_EXISTS);
        }
        ASSERT_EQ(folder.size(), units);
        ASSERT_TRUE(DllHost_PlaceW(folder, L"Z.dll"));
        ASSERT_TRUE(DllHost_WriteW(folder + L"\\ZEDWIC_D.ZWX", Catalogue("deep")));
        ASSERT_TRUE(DllHost_WriteW(folder + L"\\ZEDWIC_D.ZW", Catalogue("decoy")));
        dll_ = DllHost_LoadW(folder + L"\\Z.dll");
        ASSERT_NE(dll_.module, nullptr) << GetLastError();
        if (units == 246) {
            ExpectCatalogue(dll_, "deep");
        } else {
            ExpectEmpty(dll_);
        }
        DllHost_Unload(&dll_);
    }
}

struct ThreadShared {
    VOLQUAD_GetErrorMsg_Fn get;
    const char *seen;
};

// A thread's start routine is WINAPI, which a lambda is not on x86.
DWORD WINAPI LookUpFour(void *p) {
    auto *s = static_cast<ThreadShared *>(p);
    s->seen = s->get(4);
    return 0;
}

TEST_F(DllTest, ExportsAnswerByNameAndThreadsChangeNothing) {
    const std::string folder = Folder("exports");
    ASSERT_TRUE(DllHost_Place(folder));
    ASSERT_TRUE(File_Write(folder + "\\ZEDWIC_D.ZWX", Catalogue("threads")));
    dll_ = DllHost_Load(folder + "\\ZEDWIC_W.dll");
    auto setChildInfo = reinterpret_cast<SetChildInfo_Fn>(
        reinterpret_cast<void *>(GetProcAddress(dll_.module, "SetChildInfo")));
    ASSERT_NE(setChildInfo, nullptr);
    EXPECT_EQ(setChildInfo(), 0);

    // Thread attach and detach notifications arrive while the thread lives.
    ThreadShared shared = {dll_.getErrorMsg, nullptr};
    HANDLE thread = CreateThread(nullptr, 0, LookUpFour, &shared, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_EQ(shared.seen, dll_.getErrorMsg(4)) << "the same text, from any thread";
    ExpectCatalogue(dll_, "threads");
}

TEST(DllVersionTest, CarriesItsNameAndVersion) {
    const std::string dll = DllHost_BuiltDll();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(dll.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(dll.c_str(), 0, size, info.data()));
    auto value = [&](const char *name) {
        char *text = nullptr;
        UINT length = 0;
        const std::string query = std::string("\\StringFileInfo\\040904B0\\") + name;
        if (!VerQueryValueA(info.data(), query.c_str(), reinterpret_cast<void **>(&text),
                            &length)) {
            return std::string("<missing>");
        }
        return std::string(text);
    };
    EXPECT_EQ(value("OriginalFilename"), "ZEDWIC_W.dll");
    EXPECT_EQ(value("InternalName"), "ZEDWIC_W");
    EXPECT_EQ(value("ProductName"), "ZEDWIC");
    // What a host compiles against is what it loads.
    EXPECT_EQ(value("FileVersion"), ZEDWIC_W_VERSION_STRING);
    EXPECT_EQ(value("ProductVersion"), ZEDWIC_W_VERSION_STRING);
    EXPECT_EQ(ZEDWIC_W_VERSION_STRING, std::string(ZW_PROJECT_VERSION));
    EXPECT_NE(value("FileDescription"), "<missing>");
    EXPECT_EQ(value("CompanyName"), "<missing>") << "no maker is named";
}

} // namespace
