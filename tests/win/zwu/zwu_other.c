/* A driver-side module built for the other architecture (x86 beside an x64
 * build, x64 beside an x86 one): the host cannot load it. */
int VOLQUAD_FixSetting(const char *printerName, int value) {
    (void)printerName;
    return value;
}
