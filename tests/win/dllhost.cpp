#include "dllhost.h"

std::string DllHost_ProgramFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of("\\/"));
}

std::string DllHost_BuiltDll() {
    return DllHost_ProgramFolder() + "\\ZEDWIC_W.dll";
}

bool DllHost_Place(const std::string &folder, const char *fileName) {
    const std::string target = folder + "\\" + fileName;
    return CopyFileA(DllHost_BuiltDll().c_str(), target.c_str(), FALSE) != FALSE;
}

LoadedDll DllHost_Load(const std::string &path) {
    LoadedDll dll = {LoadLibraryA(path.c_str()), nullptr};
    if (dll.module != nullptr) {
        dll.getErrorMsg = reinterpret_cast<VOLQUAD_GetErrorMsg_Fn>(
            reinterpret_cast<void *>(GetProcAddress(dll.module, "VOLQUAD_GetErrorMsg")));
    }
    return dll;
}

std::wstring DllHost_Widen(const std::string &ansi) {
    const int length = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length > 0 ? length : 1), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, &wide[0], length);
    wide.resize(wide.size() - 1);
    return wide;
}

bool DllHost_PlaceW(const std::wstring &folder, const wchar_t *fileName) {
    const std::wstring target = folder + L"\\" + fileName;
    return CopyFileW(DllHost_Widen(DllHost_BuiltDll()).c_str(), target.c_str(), FALSE) != FALSE;
}

bool DllHost_WriteW(const std::wstring &path, const std::vector<uint8_t> &bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD wrote = 0;
    const BOOL ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr);
    return CloseHandle(file) != FALSE && ok != FALSE && wrote == bytes.size();
}

LoadedDll DllHost_LoadW(const std::wstring &path) {
    LoadedDll dll = {LoadLibraryW(path.c_str()), nullptr};
    if (dll.module != nullptr) {
        dll.getErrorMsg = reinterpret_cast<VOLQUAD_GetErrorMsg_Fn>(
            reinterpret_cast<void *>(GetProcAddress(dll.module, "VOLQUAD_GetErrorMsg")));
    }
    return dll;
}

void DllHost_Unload(LoadedDll *dll) {
    if (dll->module != nullptr) {
        FreeLibrary(dll->module);
    }
    *dll = LoadedDll{nullptr, nullptr};
}
