// mrlprint as a user runs it: its answers to command lines, to printers that
// exist or not, to hostile stored defaults, settings files and stock lists.
// MRLPRINT_EXE names another build of the tool to run these against.
#include "form_list.h"
#include "installed_driver.h"
#include "module_path.h"
#include "temp_files.h"
#include "test_printer.h"
#include "tool_run.h"

#include "devmode/layout.h"
#include "imaging/bmdither.h"
#include "imaging/picfile.h"
#include "model/model.h"
#include "model/prtfile.h"
#include "platform/ddiui.h"
#include "store/prtform.h"
#include "store/prtreg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

namespace {

std::string narrow(const std::wstring &w) { return std::string(w.begin(), w.end()); }

std::string show(const std::vector<std::wstring> &args, const ToolResult &r) {
    std::string s = "mrlprint";
    for (auto &a : args)
        s += " " + narrow(a);
    return s + " -> rc " + std::to_string(r.rc) + "\nstdout: " + r.out.substr(0, 600) + "\nstderr: " + r.err;
}

struct Case {
    std::vector<std::wstring> args;
    DWORD rc;
    bool on_stdout;
    const char *expect;
};

void expect_all(const std::vector<Case> &cases) {
    for (const Case &c : cases) {
        ToolResult r = run_tool(c.args);
        EXPECT_EQ(r.rc, c.rc) << show(c.args, r);
        EXPECT_NE((c.on_stdout ? r.out : r.err).find(c.expect), std::string::npos) << show(c.args, r);
    }
}

std::wstring model_of(const std::wstring &printer) {
    HANDLE h = nullptr;
    if (!OpenPrinterW(const_cast<LPWSTR>(printer.c_str()), &h, nullptr))
        return L"";
    std::wstring name = driver_model(h);
    ClosePrinter(h);
    return name;
}

TEST(Mrlprint, HelpOptionsAndMissingPrinters) {
    wchar_t dir[MAX_PATH];
    DWORD needed = 0;
    ASSERT_TRUE(GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<LPBYTE>(dir), sizeof dir, &needed));
    const std::wstring copied = std::wstring(dir) + L"\\mrl-never-copied.txt";
    DeleteFileW(copied.c_str()); // left by an older tool
    std::wstring empty_dir = temp_path("no-data-files");
    CreateDirectoryW(empty_dir.c_str(), nullptr);
    write_file(empty_dir + L"\\mrl-never-copied.txt", std::string("x"));
    // A package for several environments without this spooler's (x64 under Wine).
    std::wstring other_env = temp_path("other-environment");
    CreateDirectoryW(other_env.c_str(), nullptr);
    const std::string list = "Windows NT x86\tw32x86\n";
    write_file(other_env + L"\\environments.txt", list);
    std::vector<Case> cases = {
        {{L"--help"}, 0, true, "usage: mrlprint COMMAND"},
        {{L"caps", L"--help"}, 0, true, "usage: mrlprint caps PRINTER"},
        {{}, 2, false, "usage: mrlprint COMMAND"},
        {{L"frobnicate"}, 2, false, "unknown command \"frobnicate\""},
        {{L"forms", L"P", L"--bogus"}, 2, false, "mrlprint forms: unknown option --bogus"},
        {{L"devmode", L"P", L"--in"}, 2, false, "--in needs FILE.sdm"},
        {{L"add-printer", L"X"}, 2, false, "missing --model MODEL"},
        {{L"report", L"A", L"B", L"C"}, 2, false, "unexpected argument \"C\""},
        {{L"install", empty_dir}, 1, false, "no driver data file (.ddt) in this folder; nothing copied"},
        {{L"install", other_env}, 1, false, "environments.txt lists no folder for this spooler"},
        {{L"config", L"P", L"frob"}, 2, false, "ACTION is get or set, not \"frob\""},
        {{L"logs", L"P", L"send"}, 2, false, "send needs N"},
    };
    for (const wchar_t *command : {L"caps", L"forms", L"devmode", L"report", L"feed", L"testpage", L"config", L"logs"})
        cases.push_back({{command, L"mrl no such printer"}, 1, false, "no printer named \"mrl no such printer\""});
    expect_all(cases);

    EXPECT_EQ(GetFileAttributesW(copied.c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFileW((empty_dir + L"\\mrl-never-copied.txt").c_str());
    RemoveDirectoryW(empty_dir.c_str());
    DeleteFileW((other_env + L"\\environments.txt").c_str());
    RemoveDirectoryW(other_env.c_str());
}

TEST(Mrlprint, AddPrinterNeverMovesOrBreaksAPrinter) {
    const std::wstring name = L"mrl tool moved", broken = L"mrl tool broken";
    TestPrinter::Delete(name);
    TestPrinter::Delete(broken);
    // A driver of the sample package whose data file does not list its name.
    DRIVER_INFO_3W info = {};
    info.cVersion = 3;
    info.pName = const_cast<LPWSTR>(L"mrl tool unlisted model");
    info.pDriverPath = const_cast<LPWSTR>(L"zpl32k.dll");
    info.pDataFile = const_cast<LPWSTR>(L"omr32eng.dll");
    info.pConfigFile = const_cast<LPWSTR>(L"mrl32ui.dll");
    info.pDependentFiles = const_cast<LPWSTR>(L"zpl.ddt\0");
    info.pDefaultDataType = const_cast<LPWSTR>(L"RAW");
    ASSERT_TRUE(AddPrinterDriverExW(nullptr, 3, reinterpret_cast<LPBYTE>(&info), APD_COPY_ALL_FILES));

    expect_all({
        {{L"add-printer", name, L"--model", L"Kestrel KD42-203dpi"}, 0, true, "added mrl tool moved"},
        {{L"add-printer", name, L"--model", L"Kestrel KT41-300dpi"}, 1, false,
         "a printer named \"mrl tool moved\" already exists (model \"Kestrel KD42-203dpi\")"},
    });
    EXPECT_EQ(model_of(name), L"Kestrel KD42-203dpi");
    expect_all({{{L"add-printer", name, L"--model", L"Kestrel KT41-300dpi", L"--replace"}, 0, true, "added"}});
    EXPECT_EQ(model_of(name), L"Kestrel KT41-300dpi");

    expect_all({{{L"add-printer", broken, L"--model", L"mrl tool unlisted model"}, 1, false,
                 "no usable record of model \"mrl tool unlisted model\""}});
    EXPECT_EQ(model_of(broken), L"");
    // Made anyway (as another program may): caps fails instead of decoding failures as sizes.
    TestPrinter made(broken, L"mrl tool unlisted model");
    ASSERT_TRUE(made.ok());
    ToolResult r = run_tool({L"caps", broken});
    EXPECT_EQ(r.rc, 1u) << r.out;
    EXPECT_EQ(r.out.find("6553.5"), std::string::npos) << r.out;
    TestPrinter::Delete(name);
}

std::vector<unsigned char> settings_file(const std::vector<unsigned char> &dm) {
    std::vector<unsigned char> f = {'D', 'M', '3', '2'};
    for (int i = 0; i < 4; ++i)
        f.push_back(static_cast<unsigned char>(dm.size() >> (8 * i)));
    f.insert(f.end(), dm.begin(), dm.end());
    return f;
}

TEST(Mrlprint, HostileStoredDefaultsAndSettingsFiles) {
    TestPrinter p(L"mrl tool hostile", L"Kestrel KT41-300dpi");
    ASSERT_TRUE(p.ok()) << p.error();
    // Wine keeps the default as an ANSI device mode; this one claims 65535 private bytes.
    std::vector<BYTE> stored(1460, 0);
    const WORD header[] = {0x0401, 0x0400, 156, 0xFFFF};
    std::memcpy(&stored[32], header, sizeof header);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Control\\Print\\Printers\\mrl tool hostile",
                            0, KEY_SET_VALUE, &key),
              ERROR_SUCCESS);
    RegSetValueExW(key, L"Default DevMode", 0, REG_BINARY, stored.data(), static_cast<DWORD>(stored.size()));
    RegCloseKey(key);

    // A device mode of a 203 dpi model with values no model takes.
    std::vector<unsigned char> dm(1460, 0);
    auto *d = reinterpret_cast<DEVMODEW *>(dm.data());
    d->dmSpecVersion = 0x0401;
    d->dmDriverVersion = 0x0400;
    d->dmSize = 220;
    d->dmDriverExtra = 1240;
    d->dmFields = DM_ORIENTATION | DM_COPIES | DM_PRINTQUALITY;
    d->dmOrientation = 6564;
    d->dmCopies = -6827;
    d->dmPrintQuality = 203;
    std::wstring other = temp_path("other.sdm"), tiny = temp_path("tiny.sdm"), noise = temp_path("noise.sdm");
    write_file(other, settings_file(dm));
    write_file(tiny, std::string("DM"));
    std::vector<unsigned char> random = settings_file(std::vector<unsigned char>(300, 0xA5));
    write_file(noise, random);

    expect_all({
        {{L"caps", p.name()}, 0, true, "DC_FIELDS"},
        {{L"devmode", p.name()}, 0, true, "stored default: ignored"},
        {{L"devmode", p.name(), L"--in", tiny}, 1, false, "not a device-settings file"},
        {{L"devmode", p.name(), L"--in", noise}, 1, false, "does not hold one whole device mode"},
    });
    const std::string out = run_tool({L"devmode", p.name(), L"--in", other}).out;
    for (const char *dropped : {"dmOrientation 6564, the model takes 1", "dmCopies -6827, the model takes 1",
                                "dmPrintQuality 203, the model takes 300", "the private part"})
        EXPECT_NE(out.find(std::string("dropped: ") + dropped), std::string::npos) << out;
}

std::vector<unsigned char> form_file(uint32_t record_size, const std::vector<std::string> &names) {
    std::vector<unsigned char> f = {'S', 'F', 'M', '1'};
    for (int i = 0; i < 4; ++i)
        f.push_back(static_cast<unsigned char>(record_size >> (8 * i)));
    for (const std::string &n : names) {
        FormRecord rec = {};
        rec.width = 50800;
        rec.height = 25400;
        std::strncpy(rec.name, n.c_str(), sizeof rec.name - 1);
        unsigned char raw[kFormRecordSize];
        FormRecordToBytes(rec, raw);
        f.insert(f.end(), raw, raw + (record_size < 92 ? record_size : 92));
    }
    return f;
}

TEST(Mrlprint, FormImportsRefuseMalformedFilesAndNamesAreShownEscaped) {
    TestPrinter p(L"mrl tool forms", L"Kestrel KD42-203dpi");
    ASSERT_TRUE(p.ok()) << p.error();
    std::vector<Case> cases;
    auto refused = [&](const char *file, const std::vector<unsigned char> &bytes, const char *why) {
        std::wstring path = temp_path(file);
        write_file(path, bytes);
        cases.push_back({{L"forms", p.name(), L"--import", path}, 1, false, why});
    };
    // Every reason is the core's; the tool shows it with the record it names.
    refused("magic.sfm", {'S', 'F', 'M', '1'}, "not imported: not a form list");
    refused("size.sfm", form_file(0xFFFFFFFFu, {"mrl odd size"}), "not imported: record size outside 60 to 92 bytes");
    refused("escape.sfm", form_file(92, {"mrl \x1b[2J"}), "not imported: control character in the name (record 1)");
    std::wstring one = temp_path("one.sfm");
    write_file(one, form_file(92, {"mrl tool one stock"}));
    cases.push_back({{L"forms", p.name(), L"--import", one}, 0, true, ": 1 new stock, 0 unchanged"});
    expect_all(cases);

    // A stored stock with control characters in its name (written by something else).
    DllInitialize(GetModuleHandleW(nullptr), DLL_PROCESS_ATTACH, nullptr);
    prtfile::UseDriverDirectoryOf(p.handle());
    {
        _MODEL model(p.handle());
        ASSERT_TRUE(model.is_valid());
        prtreg store;
        store.init(p.handle(), p.name().c_str());
        prtformlist list(&model);
        list.Load(store);
        add_form(list, "mrl bell\x07 esc\x1b[31m", FORMF_GLOBAL);
        list.Validate();
        list.Save(store);
        ToolResult r = run_tool({L"forms", p.name()});
        EXPECT_NE(r.out.find("mrl bell\\x07 esc\\x1b[31m"), std::string::npos) << r.out;
        EXPECT_EQ(r.out.find('\x1b'), std::string::npos);
        EXPECT_EQ(r.out.find('\x07'), std::string::npos);
        // Leave the machine's stocks as they were.
        prtformlist again(&model);
        again.Load(store);
        for (prtform *f = again.get_first(); f;) {
            prtform *next = f->get_next();
            if (!std::strncmp(f->get_name(), "mrl ", 4))
                delete f;
            f = next;
        }
        again.Save(store);
    }
    prtfile::SetDriverDirectory(nullptr);
    DllInitialize(GetModuleHandleW(nullptr), DLL_PROCESS_DETACH, nullptr);
}

TEST(Mrlprint, BarFontsRefuseDamagedFilesAndUnknownSymbologiesKeepingEveryFont) {
    TestPrinter p(L"mrl tool barfonts", L"Kestrel KD42-203dpi");
    ASSERT_TRUE(p.ok()) << p.error();
    const std::wstring sbf = temp_path("fonts.sbf"), cut = temp_path("cut.sbf"), alien = temp_path("alien.sbf");
    expect_all({
        {{L"barfonts", p.name(), L"add", L"mrl bf QR", L"--symbology", L"18", L"--mils", L"20"}, 0, true,
         "added \"mrl bf QR\""},
        {{L"barfonts", p.name(), L"add", L"mrl bf 39", L"--rotation", L"2"}, 0, true, "\"mrl bf 39\" 203 dpi"},
        {{L"barfonts", p.name(), L"export", sbf}, 0, true, "exported"},
        {{L"barfonts", p.name(), L"add", L"mrl bf x", L"--symbology", L"31"}, 2, false, "unknown symbology 31"},
        {{L"barfonts", p.name(), L"add", L"mrl/bf"}, 2, false, "cannot be a bar font name"},
        {{L"barfonts", p.name(), L"edit", L"mrl bf none"}, 1, false, "no bar font named \"mrl bf none\""},
        {{L"barfonts", p.name(), L"frob"}, 2, false, "unknown action \"frob\""},
        {{L"barfonts", p.name(), L"import"}, 2, false, "import needs FILE.sbf"},
        {{L"barfonts", p.name(), L"edit", L"mrl bf QR", L"--mils", L"x"}, 2, false, "--mils needs a whole number"},
    });
    std::string before = run_tool({L"barfonts", p.name()}).out;
    std::vector<unsigned char> file(std::istreambuf_iterator<char>(std::ifstream(sbf.c_str(), std::ios::binary).rdbuf()),
                                    std::istreambuf_iterator<char>());
    const std::string linear = "mrl bf 39";
    auto at = std::search(file.begin(), file.end(), linear.begin(), linear.end());
    ASSERT_NE(at, file.end());
    std::vector<unsigned char> damaged(file.begin(), file.end() - 1), unknown = file;
    unknown[(at - file.begin()) - 12 + 104] = 40; // the linear font's symbology id
    write_file(cut, damaged);
    write_file(alien, unknown);
    expect_all({
        {{L"barfonts", p.name(), L"import", cut}, 1, false, "not imported: the file ends inside a record"},
        {{L"barfonts", p.name(), L"import", alien}, 1, false, "not imported: unknown symbology (record"},
    });
    EXPECT_EQ(run_tool({L"barfonts", p.name()}).out, before);

    // Deleted and imported again: the same list.
    expect_all({
        {{L"barfonts", p.name(), L"delete", L"mrl bf QR"}, 0, true, "deleted"},
        {{L"barfonts", p.name(), L"delete", L"mrl bf 39"}, 0, true, "deleted"},
        {{L"barfonts", p.name(), L"import", sbf}, 0, true, "imported"},
    });
    std::string after = run_tool({L"barfonts", p.name()}).out;
    EXPECT_NE(after.find("\"mrl bf QR\" 203 dpi"), std::string::npos) << after;
    EXPECT_NE(after.find("20 mils"), std::string::npos) << after;
    run_tool({L"barfonts", p.name(), L"delete", L"mrl bf QR"});
    run_tool({L"barfonts", p.name(), L"delete", L"mrl bf 39"});
}

} // namespace

namespace {

// Colour heads change only as the model allows; every refusal says why and changes nothing.
TEST(Mrlprint, ColourHeadsRefuseWhatTheModelCannotDo) {
    TestPrinter spot(L"mrl tool colour", L"Osprey OX4S-305dpi Spot"), mono(L"mrl tool mono", L"Kestrel KD42-203dpi");
    ASSERT_TRUE(spot.ok() && mono.ok());
    ToolResult set = run_tool({L"colour", spot.name(), L"heads", L"--use", L"2", L"--colours", L"dark green,0000FF"});
    EXPECT_EQ(set.rc, 0u) << set.err;
    EXPECT_NE(set.out.find("head 1  off    Dark green     #007F00"), std::string::npos) << set.out;
    EXPECT_NE(set.out.find("head 2  in use Blue           #0000FF"), std::string::npos) << set.out;
    expect_all({
        {{L"colour", mono.name()}, 1, false, "one head only"},
        {{L"colour", spot.name(), L"heads", L"--use", L"3"}, 2, false, "\"3\" is not a head from 1 to 2"},
        {{L"colour", spot.name(), L"heads", L"--use", L"1", L"--mode", L"cmyk"}, 2, false, "no colour mode \"cmyk\""},
        {{L"colour", spot.name(), L"heads", L"--colours", L"mauve"}, 2, false, "neither a colour name nor RRGGBB"},
        {{L"colour", spot.name(), L"align", L"1", L"201", L"0"}, 2, false, "X and Y from -200 to 200"},
        {{L"colour", spot.name(), L"frob"}, 2, false, "unknown action \"frob\""},
    });
    EXPECT_EQ(run_tool({L"colour", spot.name()}).out, set.out);
}

// The tool's dithering is the engine's, byte for byte, with the settings given
// or a printer's; damaged files are refused in words.
TEST(Mrlprint, DitherIsTheEngineAndRefusesDamagedFiles) {
    picfile::Picture pic;
    pic.width = 37, pic.height = 11;
    for (int32_t y = 0; y < pic.height; ++y)
        for (int32_t x = 0; x < pic.width; ++x)
            pic.bgr.insert(pic.bgr.end(), {BYTE(x * 7), BYTE(y * 23), BYTE(x * y)});
    const std::vector<unsigned char> bmp = picfile::WriteBmp(pic);
    const std::wstring in = temp_path("dither-in.bmp"), out = temp_path("dither-out.bmp");
    write_file(in, bmp);
    auto engine = [&](const dithercfg &cfg, bool smooth) {
        picfile::Picture p = pic;
        bmDither d;
        d.SetBitmap(p.bgr.data(), p.width, p.height, p.width * 3);
        d.SetDither(cfg);
        d.SetColorMode(bmDither::kMono, false);
        smooth ? d.DitherSmooth() : d.Dither();
        return p.bgr;
    };
    auto result = [&] {
        picfile::Picture p;
        std::string bytes = slurp(out), why;
        picfile::ReadBmp(reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size(), &p, &why);
        return p.bgr;
    };
    dithercfg cfg;
    cfg.Reset();
    cfg.method = dithercfg::kDiffusion, cfg.kernel = 1, cfg.brightness = 20, cfg.flags = dithercfg::kFlip;
    std::vector<std::wstring> args = {L"dither", in, out, L"--method", L"4", L"--kernel", L"1", L"--brightness", L"20",
                                      L"--flip", L"--smooth"};
    ToolResult r = run_tool(args);
    ASSERT_EQ(r.rc, 0u) << show(args, r);
    EXPECT_EQ(result(), engine(cfg, true));

    // A printer's settings: the reset ones, clustered dot sized for 203 dpi.
    TestPrinter printer(L"mrl dither", L"Kestrel KD42-203dpi");
    ASSERT_TRUE(printer.ok());
    args = {L"dither", in, out, L"--printer", L"mrl dither"};
    r = run_tool(args);
    ASSERT_EQ(r.rc, 0u) << show(args, r);
    cfg.Reset();
    cfg.cluster_size = 2;
    EXPECT_EQ(result(), engine(cfg, false));

    std::vector<unsigned char> truncated(bmp.begin(), bmp.end() - 5), eight = bmp, huge = bmp;
    eight[28] = 8;
    huge[18] = 0xFF, huge[19] = 0xFF, huge[20] = 0xFF; // 16 million pixels wide
    const std::wstring bad = temp_path("dither-bad.bmp");
    const std::wstring png = temp_path("dither-out.PNG");
    write_file(bad, truncated);
    expect_all({{{L"dither", bad, out, L"--method", L"0"}, 1, false, "the file is truncated"},
                {{L"dither", in, out}, 2, false, "give --printer P or --method M"},
                {{L"dither", in, out, L"--method", L"9"}, 2, false, "--method takes a whole number from 0 to 4"},
                {{L"dither", in, png, L"--method", L"1", L"--mode", L"2"}, 0, true, "-> "}});
    EXPECT_EQ(slurp(png).substr(0, 4), "\x89PNG");
    write_file(bad, eight);
    expect_all({{{L"dither", bad, out, L"--method", L"0"}, 1, false, "only 24-bit BMP files"}});
    write_file(bad, huge);
    expect_all({{{L"dither", bad, out, L"--method", L"0"}, 1, false, "too large"}});
    for (const std::wstring &f : {in, out, bad, png})
        DeleteFileW(f.c_str());
}

} // namespace
