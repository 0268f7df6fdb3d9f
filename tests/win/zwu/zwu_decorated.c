/* A driver-side module for x86 whose author exported the five functions with
 * __declspec(dllexport) and no module-definition file: the names are the
 * decorated ones (_VOLQUAD_FixSetting@8), which GetProcAddress does not find
 * under the plain names the library asks for. */
#define ZWU_EXPORT __declspec(dllexport) int __stdcall

ZWU_EXPORT VOLQUAD_SettingExport(const char *printerName, int value) {
    (void)printerName;
    return value;
}
ZWU_EXPORT VOLQUAD_SettingImport(const char *printerName, int value) {
    (void)printerName;
    return value;
}
ZWU_EXPORT VOLQUAD_PersonalInfoImport(const char *printerName, int value) {
    (void)printerName;
    return value;
}
ZWU_EXPORT VOLQUAD_DefaultSetting(const char *printerName, int value) {
    (void)printerName;
    return value;
}
ZWU_EXPORT VOLQUAD_FixSetting(const char *printerName, int value) {
    (void)printerName;
    return value;
}
