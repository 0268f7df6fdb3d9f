/* A driver-side module built for x86: a 64-bit host cannot load it. */
int VOLQUAD_FixSetting(const char *printerName, int value) {
    (void)printerName;
    return value;
}
