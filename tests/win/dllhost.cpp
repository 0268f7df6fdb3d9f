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

void DllHost_Unload(LoadedDll *dll) {
    if (dll->module != nullptr) {
        FreeLibrary(dll->module);
    }
    *dll = LoadedDll{nullptr, nullptr};
}
