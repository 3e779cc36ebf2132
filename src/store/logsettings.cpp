#include "logsettings.h"

#include "../foundation/lebytes.h"
#include "../foundation/util.h"
#include "prtreg.h"

namespace {

void load_flag(prtreg &reg, const char *name, bool *flag) {
    unsigned char b = 0;
    if (reg.LoadRaw(name, &b, 1, false))
        *flag = b != 0;
}

void load_text(prtreg &reg, const char *name, OString &text) {
    unsigned char raw[LogSettings::kValueBytes] = {};
    if (!reg.LoadRaw(name, raw, sizeof raw, false))
        return;
    WCHAR wide[LogSettings::kChars + 1];
    LONG n = 0;
    for (; n < LogSettings::kChars && (raw[2 * n] | raw[2 * n + 1]); ++n)
        wide[n] = static_cast<WCHAR>(le::u16(raw + 2 * n));
    wide[n] = 0;
    text = wide;
}

bool save_text(prtreg &reg, const char *name, const OString &text) {
    unsigned char raw[LogSettings::kValueBytes] = {};
    const WCHAR *w = text.wstring();
    LONG n = 0;
    for (; n < LogSettings::kChars && w[n]; ++n)
        le::put16(raw + 2 * n, static_cast<uint16_t>(w[n]));
    return reg.SaveRaw(name, raw, 2 * (n + 1), false);
}

} // namespace

void MakeValidPath(OString &path) {
    const WCHAR *w = path.wstring();
    LONG n = mrl::__wcslen(w);
    if (n == 0 || w[n - 1] != '\\')
        path += "\\";
}

void LogSettings::Load(prtreg &reg, const WCHAR *printer_name) {
    logging = overwrite = generateFile = false;
    directory = "C:\\";
    directory += printer_name ? printer_name : WSTR("");
    directory += "\\";
    logFile = directory;
    logFile += "Log.txt";
    load_flag(reg, "Log Logging", &logging);
    load_flag(reg, "Log OverWriteFile", &overwrite);
    load_flag(reg, "Log GenerateFile", &generateFile);
    load_text(reg, "Log Directory", directory);
    load_text(reg, "Log File", logFile);
    MakeValidPath(directory);
}

bool LogSettings::Save(prtreg &reg) const {
    bool ok = true;
    const char *names[] = {"Log Logging", "Log OverWriteFile", "Log GenerateFile"};
    const bool flags[] = {logging, overwrite, generateFile};
    for (int i = 0; i < 3; ++i) {
        unsigned char b = flags[i] ? 1 : 0;
        ok = reg.SaveRaw(names[i], &b, 1, false) && ok;
    }
    ok = save_text(reg, "Log Directory", directory) && ok;
    return save_text(reg, "Log File", logFile) && ok;
}
