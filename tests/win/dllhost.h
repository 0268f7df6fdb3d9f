// A test host's view of the built library: copies of ZEDWIC_W.dll placed in
// folders of the test's choosing, loaded and called the way a host does.
#ifndef ZW_TESTS_DLLHOST_H
#define ZW_TESTS_DLLHOST_H

#include "ZEDWIC_W.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// The folder of the running test program; the build puts the library there.
std::string DllHost_ProgramFolder();
std::string DllHost_BuiltDll();

// Copies the built library into folder under fileName; false on failure.
bool DllHost_Place(const std::string &folder, const char *fileName = "ZEDWIC_W.dll");

struct LoadedDll {
    HMODULE module;
    VOLQUAD_GetErrorMsg_Fn getErrorMsg;
};

// Loads by full path and resolves VOLQUAD_GetErrorMsg; module is null on failure.
LoadedDll DllHost_Load(const std::string &path);

// The same through the UTF-16 API, for folders whose names the ANSI code page
// cannot hold.
std::wstring DllHost_Widen(const std::string &ansi);
bool DllHost_PlaceW(const std::wstring &folder, const wchar_t *fileName = L"ZEDWIC_W.dll");
bool DllHost_WriteW(const std::wstring &path, const std::vector<uint8_t> &bytes);
LoadedDll DllHost_LoadW(const std::wstring &path);
void DllHost_Unload(LoadedDll *dll);

#endif
