#include "prtlocale.h"

#include "../foundation/util.h"
#include "../model/model.h"
#include "../model/prtfile.h"
#include "../store/prtreg.h"

const char *const prtlocale::t_lang[] = {"eng", "fre", "ger", "ita", "spa", "ptb", "chs", "cht", "jpn", "fin",
                                         "dan", "sve", "nor", "nld", "ptg", "csy", "plk", "kor", "tai", ""};
const LONG prtlocale::t_id[] = {1271, 1274, 1273, 1277, 1272, 1276, 1278, 1279, 1275, 1280,
                                1281, 1282, 1283, 1284, 1285, 1286, 1287, 1288, 1289, 0};
const LONG prtlocale::t_cp[] = {1252, 1252, 1252, 1252, 1252, 1252, 936,  950,  932,  1252,
                                1252, 1252, 1252, 1252, 1252, 1250, 1250, 949,  874,  0};

namespace {

constexpr LONG kStringTag = 0xA002;
constexpr LONG kUnitInch = 479, kUnitMm = 482, kUnitCm = 471, kSecondLabel = 484;
constexpr LONG kAskLanguage = 1299;
constexpr LONG kPathChars = 520;
constexpr LONG kDependentBytes = 1024;

// Languages shown only where the system has their locale installed.
struct NeedsLocale {
    const char *lang;
    LCID lcid;
};
constexpr NeedsLocale kNeedsLocale[] = {{"chs", 0x0804}, {"cht", 0x0404}, {"jpn", 0x0411}, {"kor", 0x0412},
                                        {"csy", 0x0405}, {"plk", 0x0415}, {"tai", 0x041E}};

// System language names by prefix; "ptg" before "pt".
struct SystemName {
    const char *prefix;
    int32_t n;
    const char *lang;
};
constexpr SystemName kSystemNames[] = {
    {"chs", 3, "chs"}, {"cht", 3, "cht"}, {"csy", 3, "csy"}, {"dan", 3, "dan"}, {"de", 2, "ger"},
    {"en", 2, "eng"},  {"es", 2, "spa"},  {"fin", 3, "fin"}, {"fr", 2, "fre"},  {"it", 2, "ita"},
    {"jpn", 3, "jpn"}, {"kor", 3, "kor"}, {"nl", 2, "nld"},  {"no", 2, "nor"},  {"plk", 3, "plk"},
    {"ptg", 3, "ptg"}, {"pt", 2, "ptb"},  {"sve", 3, "sve"}, {"tai", 3, "tai"}};

bool is_eng(const char *lang) { return mrl::__strncmp(lang, "eng", 4) == 0; }

// A three-letter code and its NUL into a 4-byte field.
void set_code(char *field, const char *code) { mrl::__strncpy(field, code, 4); }

// dir + a + b + c + d, with the driver folder only when it can be found.
void build_path(OString &out, bool with_dir, const char *a, const char *b, const char *c, const char *d) {
    WCHAR dir[kPathChars];
    if (with_dir && prtfile::GetDriverDirectory(dir, kPathChars))
        out = dir;
    else
        out = "";
    out += a;
    out += b;
    out += c;
    out += d;
}

bool exists_in_driver_dir(const OString &name) {
    OString full;
    build_path(full, true, name.nstring(), "", "", "");
    return prtfile::Exists(full.wstring());
}

// The pattern in lang; with fallback, in "eng" when that file does not exist.
void name_with_fallback(OString &out, bool with_dir, const char *a, const char *b, const char *lang, const char *ext,
                        bool fallback) {
    build_path(out, with_dir, a, b, lang, ext);
    if (!fallback || is_eng(lang))
        return;
    OString probe;
    build_path(probe, true, a, b, lang, ext);
    if (!prtfile::Exists(probe.wstring()))
        build_path(out, with_dir, a, b, "eng", ext);
}

} // namespace

prtlocale::prtlocale()
    : modules_{nullptr, nullptr, nullptr}, language_{'s', 'y', 's', 0}, system_language_{'e', 'n', 'g', 0},
      measurement_(kFollowSystem), system_measurement_(kMillimetres), leading_zero_(true), decimal_{'.', 0},
      thousand_{',', 0}, ring_{}, ring_pos_(0) {}

prtlocale::~prtlocale() {
    templates_.Clear();
    release_modules();
}

void prtlocale::release_modules() {
    for (HINSTANCE &m : modules_) {
        if (m)
            free_module(m);
        m = nullptr;
    }
}

bool prtlocale::Load(prtreg &reg, const _MODEL *model) {
    char buf[20];
    if (read_region(kRegionMeasure, buf, sizeof buf))
        system_measurement_ = buf[0] == '1' ? kInches : kMillimetres;
    if (read_region(kRegionLeadingZero, buf, sizeof buf))
        leading_zero_ = buf[0] == '1';
    if (read_region(kRegionLanguage, buf, sizeof buf))
        set_code(language_, buf);
    if (read_region(kRegionDecimal, buf, sizeof buf))
        decimal_[0] = buf[0];
    if (read_region(kRegionThousand, buf, sizeof buf))
        thousand_[0] = buf[0];
    measurement_ = kFollowSystem;
    set_code(system_language_, ConvertSystemLanguage());
    set_code(language_, "sys");

    unsigned char raw[4];
    if (reg.LoadRaw("Measurement System", raw, 4, false)) {
        LONG m = static_cast<LONG>(raw[0] | raw[1] << 8 | raw[2] << 16 | static_cast<uint32_t>(raw[3]) << 24);
        // Anything but a known system follows the system.
        measurement_ = m >= kFollowSystem && m <= kCentimetres ? m : kFollowSystem;
    }
    if (reg.LoadRaw("Language", raw, 4, false)) {
        mrl::__memcpy(language_, raw, 4);
        language_[3] = 0; // a stored value is outside text: keep it terminated
    }

    char working[4];
    set_code(working, GetCurrentLanguage());
    if (!LanguageExists(reg, working))
        set_code(working, "eng");

    const char *prefix = model ? model->GetPrefix() : "";
    const char *oem = model ? model->GetOEM() : "";
    GenerateHelpNameV2(help_file_, prefix, working, true);
    GenerateLicenseName(license_file_, oem, working, true);
    GenerateResourceName(oem_module_, oem, working, true);
    GenerateResourceName(model_module_, prefix, working, true);
    GenerateResourceName(common_module_, "mrl", working, true);

    // A second Load replaces what the first found.
    templates_.Clear();
    strings_.Clear();
    release_modules();
    modules_[kOem] = LoadLanguage(oem_module_.nstring());
    modules_[kModel] = LoadLanguage(model_module_.nstring());
    modules_[kCommon] = LoadLanguage(common_module_.nstring());
    init();
    return modules_[kCommon] && modules_[kModel] && modules_[kOem];
}

bool prtlocale::Save(prtreg &reg) {
    unsigned char raw[4] = {static_cast<unsigned char>(measurement_), static_cast<unsigned char>(measurement_ >> 8),
                            static_cast<unsigned char>(measurement_ >> 16),
                            static_cast<unsigned char>(measurement_ >> 24)};
    reg.SaveRaw("Language", reinterpret_cast<const unsigned char *>(language_), 4, false);
    reg.SaveRaw("Measurement System", raw, 4, false);
    return true;
}

void prtlocale::init() {
    SetNewUnits(measurement_);
    second_label_ = GetString(kSecondLabel);
}

bool prtlocale::LanguageExists(prtreg &reg, const char *lang) {
    if (mrl::__stricmp(lang, "eng") == 0)
        return true;
    for (const NeedsLocale &n : kNeedsLocale)
        if (mrl::__stricmp(lang, n.lang) == 0 && !IsValidLocale(n.lcid))
            return false;

    reg.SetDriverPath();
    OString common;
    GenerateResourceName(common, "mrl", lang, false);
    // One byte more than is read: the last name ends inside the block.
    unsigned char files[kDependentBytes + 1] = {};
    bool listed = reg.LoadRaw("Dependent Files", files, kDependentBytes, false);
    reg.SetPath(nullptr);

    if (!listed)
        return exists_in_driver_dir(common);
    const char *p = reinterpret_cast<const char *>(files);
    const char *end = p + kDependentBytes;
    while (p < end && *p) {
        if (mrl::__stricmp(p, common.nstring()) == 0)
            return true;
        p += mrl::__strlen(p) + 1;
    }
    return false;
}

const char *prtlocale::GetCurrentLanguage() const {
    return mrl::__memcmp(language_, "sys", 4) ? language_ : system_language_;
}

LONG prtlocale::GetCurrentCP() const {
    const char *lang = GetCurrentLanguage();
    for (int i = 0; t_lang[i][0]; ++i)
        if (mrl::__stricmp(t_lang[i], lang) == 0)
            return t_cp[i];
    return 1252; // unknown languages load as English
}

const char *prtlocale::ConvertSystemLanguage() const {
    for (const SystemName &s : kSystemNames)
        if (mrl::__strnicmp(language_, s.prefix, s.n) == 0)
            return s.lang;
    return "eng";
}

void prtlocale::SetNewLanguage(HWND owner, const char *lang) {
    if (!lang)
        return;
    bool accept = mrl::__strncmp(lang, system_language_, 4) == 0;
    if (!accept) {
        accept = true;
        static const char *const ask[] = {"chs", "cht", "jpn", "kor", "tai", "csy", "plk"};
        for (const char *a : ask) {
            if (mrl::__strncmp(lang, a, 4) != 0)
                continue;
            LONG name_id = 0;
            for (int i = 0; t_lang[i][0]; ++i)
                if (mrl::__strncmp(t_lang[i], lang, 4) == 0)
                    name_id = t_id[i];
            OString text, caption;
            text = GetString(kAskLanguage);
            caption = GetString(name_id);
            accept = confirm(owner, text.wstring(), caption.wstring());
        }
    }
    if (accept)
        set_code(language_, lang);
}

void prtlocale::SetNewUnits(LONG units) {
    measurement_ = units;
    unit_name_ = GetString(is_mm() ? kUnitMm : is_cm() ? kUnitCm : kUnitInch);
}

bool prtlocale::GenerateResourceName(OString &out, const char *name, const char *lang, bool fallback) {
    name_with_fallback(out, false, name, "32", lang, ".dll", fallback);
    return true;
}

bool prtlocale::GenerateHelpNameV2(OString &out, const char *prefix, const char *lang, bool fallback) {
    name_with_fallback(out, true, prefix, "32", lang, ".hlp", fallback);
    return true;
}

bool prtlocale::GenerateLicenseName(OString &out, const char *oem, const char *lang, bool fallback) {
    name_with_fallback(out, true, oem, "xx", lang, ".lic", fallback);
    return true;
}

const WCHAR *prtlocale::GetString(LONG id) {
    static const WCHAR kEmpty[1] = {0};
    // Cache key "ID_" and the id in decimal.
    char key[16] = "ID_";
    char digits[12];
    int nd = 0;
    uint32_t u = id < 0 ? 0u - static_cast<uint32_t>(id) : static_cast<uint32_t>(id);
    do
        digits[nd++] = static_cast<char>('0' + u % 10);
    while (u /= 10);
    int k = 3;
    if (id < 0)
        key[k++] = '-';
    while (nd)
        key[k++] = digits[--nd];
    key[k] = 0;
    if (res_node *hit = strings_.Find(key, kStringTag))
        return hit->GetData() ? reinterpret_cast<const WCHAR *>(hit->GetData()) : kEmpty;

    WCHAR text[kMaxStringChars];
    LONG len = 0;
    for (HINSTANCE m : modules_)
        if (m && (len = module_string(m, id, text, kMaxStringChars)) > 0)
            break;
    if (len <= 0)
        return kEmpty;
    if (len >= kMaxStringChars)
        len = kMaxStringChars - 1;
    text[len] = 0;
    res_node *node = strings_.Add(key, kStringTag, (len + 1) * static_cast<LONG>(sizeof(WCHAR)),
                                  reinterpret_cast<const unsigned char *>(text));
    return node && node->GetData() ? reinterpret_cast<const WCHAR *>(node->GetData()) : kEmpty;
}
