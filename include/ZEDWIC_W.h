/* ZEDWIC_W.dll: settings forwarding to the printer driver's ZEDWIC_U.DLL and
 * error-message texts from ZEDWIC_D.ZWX. Usable from C and C++. */
#ifndef ZEDWIC_W_H
#define ZEDWIC_W_H

#include <stdint.h>

#if defined(_WIN32) && !defined(ZEDWIC_W_BUILD)
#define ZEDWIC_W_API __declspec(dllimport)
#else
#define ZEDWIC_W_API
#endif

/* The calling convention of every export and of ZEDWIC_U.DLL's five
 * functions: the Win32 API's own (WINAPI, __stdcall) on x86, where hosts and
 * their languages assume it for a system-style DLL (.NET's DllImport, VB's
 * Declare, ctypes.WinDLL); the names stay undecorated (VOLQUAD_FixSetting,
 * not _VOLQUAD_FixSetting@8). x64 has one convention: empty there. */
#if defined(_WIN32) && !defined(_WIN64)
#define ZEDWIC_W_CALL __stdcall
#else
#define ZEDWIC_W_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Result of a settings call whose ZEDWIC_U.DLL or function could not be reached. */
#define VOLQUAD_RESULT_UNAVAILABLE 99

/* Settings calls for the printer named printerName, as the spooler knows it.
 * Each is carried out by the function of the same name in ZEDWIC_U.DLL, which
 * lies beside the printer's driver file; printerName and value reach it
 * unchanged and its result comes back as it is. VOLQUAD_RESULT_UNAVAILABLE
 * when the printer, its ZEDWIC_U.DLL or the function cannot be reached.
 *
 * ZEDWIC_U.DLL is loaded by its full path only, and the DLLs it imports come
 * from its own folder and the system folder only: never from the host's
 * folder, the current folder or PATH.
 *
 * After VOLQUAD_RESULT_UNAVAILABLE, GetLastError() tells why:
 * - the spooler's own error when it does not know the printer (for example
 *   ERROR_INVALID_PRINTER_NAME), ERROR_INVALID_PRINTER_NAME for a null name;
 * - the spooler's own error when it has no driver record for the printer,
 *   ERROR_UNKNOWN_PRINTER_DRIVER when it names no cause, and
 *   ERROR_NOT_ENOUGH_MEMORY when the record could not be held;
 * - ERROR_MOD_NOT_FOUND when the record names no driver file, or one that is
 *   not fully qualified (a drive and root, or a UNC path), or one whose folder
 *   leaves no room for "ZEDWIC_U.DLL" within 259 characters: no module is
 *   looked for then;
 * - the loader's own error when ZEDWIC_U.DLL does not load, for example
 *   ERROR_MOD_NOT_FOUND when it or a DLL it imports is missing,
 *   ERROR_BAD_EXE_FORMAT when it is no module for this process,
 *   ERROR_DLL_INIT_FAILED when its DllMain fails, and ERROR_INVALID_PARAMETER
 *   when its path names a server but no share;
 * - ERROR_PROC_NOT_FOUND when ZEDWIC_U.DLL lacks the function.
 * When the function of ZEDWIC_U.DLL ran, the last error is exactly what it
 * left, whatever its result: a 99 of its own carries its own last error. */
ZEDWIC_W_API int32_t ZEDWIC_W_CALL VOLQUAD_SettingExport(const char *printerName, intptr_t value);
ZEDWIC_W_API int32_t ZEDWIC_W_CALL VOLQUAD_SettingImport(const char *printerName, intptr_t value);
ZEDWIC_W_API int32_t ZEDWIC_W_CALL VOLQUAD_PersonalInfoImport(const char *printerName,
                                                              intptr_t value);
ZEDWIC_W_API int32_t ZEDWIC_W_CALL VOLQUAD_DefaultSetting(const char *printerName, intptr_t value);
ZEDWIC_W_API int32_t ZEDWIC_W_CALL VOLQUAD_FixSetting(const char *printerName, intptr_t value);

/* Text for a result code: codes 0 to 15 have their own text, every other code
 * (and a code without its own) the fallback text; "" when neither was loaded.
 * Never null; valid until the library is unloaded; do not change or free it. */
ZEDWIC_W_API const char *ZEDWIC_W_CALL VOLQUAD_GetErrorMsg(int32_t code);

/* Does nothing; always 0. */
ZEDWIC_W_API int32_t ZEDWIC_W_CALL SetChildInfo(void);

/* Shapes for GetProcAddress; ZEDWIC_U.DLL's five functions have the first. */
typedef int32_t(ZEDWIC_W_CALL *VOLQUAD_Setting_Fn)(const char *printerName, intptr_t value);
typedef const char *(ZEDWIC_W_CALL *VOLQUAD_GetErrorMsg_Fn)(int32_t code);
typedef int32_t(ZEDWIC_W_CALL *SetChildInfo_Fn)(void);

#ifdef __cplusplus
}
#endif

#endif
