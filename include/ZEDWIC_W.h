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

#ifdef __cplusplus
extern "C" {
#endif

/* Result of a settings call whose ZEDWIC_U.DLL or function could not be reached. */
#define VOLQUAD_RESULT_UNAVAILABLE 99

/* Settings calls for the printer named printerName, as the spooler knows it.
 * Each is carried out by the function of the same name in ZEDWIC_U.DLL, which
 * lies beside the printer's driver file; printerName and value reach it
 * unchanged and its result comes back as it is. VOLQUAD_RESULT_UNAVAILABLE
 * when the printer, its ZEDWIC_U.DLL or the function cannot be reached. */
ZEDWIC_W_API int32_t VOLQUAD_SettingExport(const char *printerName, intptr_t value);
ZEDWIC_W_API int32_t VOLQUAD_SettingImport(const char *printerName, intptr_t value);
ZEDWIC_W_API int32_t VOLQUAD_PersonalInfoImport(const char *printerName, intptr_t value);
ZEDWIC_W_API int32_t VOLQUAD_DefaultSetting(const char *printerName, intptr_t value);
ZEDWIC_W_API int32_t VOLQUAD_FixSetting(const char *printerName, intptr_t value);

/* Text for a result code: codes 0 to 15 have their own text, every other code
 * (and a code without its own) the fallback text; "" when neither was loaded.
 * Never null; valid until the library is unloaded; do not change or free it. */
ZEDWIC_W_API const char *VOLQUAD_GetErrorMsg(int32_t code);

/* Does nothing; always 0. */
ZEDWIC_W_API int32_t SetChildInfo(void);

/* Shapes for GetProcAddress; ZEDWIC_U.DLL's five functions have the first. */
typedef int32_t (*VOLQUAD_Setting_Fn)(const char *printerName, intptr_t value);
typedef const char *(*VOLQUAD_GetErrorMsg_Fn)(int32_t code);
typedef int32_t (*SetChildInfo_Fn)(void);

#ifdef __cplusplus
}
#endif

#endif
