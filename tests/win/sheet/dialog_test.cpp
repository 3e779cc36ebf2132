// A UI object made in this process for an installed printer, and the modal
// dialogs its pages open: whatever a cancelled dialog changed in the device
// mode is undone, byte for byte; OK keeps it.
#include "driver_env.h"
#include "model/prtfile.h"
#include "pageframe/prtpage.h"
#include "pageframe/prtui.h"
#include "test_printer.h"

#include <memory>
#include <vector>

MRL_DRIVER_ENVIRONMENT();

namespace {

// Edits the device mode as soon as it runs, then presses the button asked for.
class Editor : public prtpage {
public:
    static int button;
    static bool ran;
    void Init() override {
        prtpage::Init();
        ran = config != nullptr;
        if (config) {
            config->distance += 1000;
            ui->devmode()->dmCopies = 42;
        }
        PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(button, 0), 0);
    }
};
int Editor::button = IDCANCEL;
bool Editor::ran = false;

TEST(ModalDialog, CancelRestoresTheDeviceModeAndOkKeepsIt) {
    TestPrinter printer(L"mrl modal", L"Kestrel KD42-203dpi");
    ASSERT_TRUE(printer.ok()) << "printer error " << printer.error();
    ASSERT_TRUE(prtfile::UseDriverDirectoryOf(printer.handle()));
    std::unique_ptr<prtui> ui(prtui::NewExtUI());
    ui->init(printer.handle(), nullptr, 0);
    ASSERT_TRUE(ui->model() && ui->devmode());
    DEVMODEW *dm = ui->devmode();
    const auto *bytes = reinterpret_cast<const BYTE *>(dm);
    const std::vector<BYTE> before(bytes, bytes + dm->dmSize + dm->dmDriverExtra);

    Editor::button = IDCANCEL;
    Editor::ran = false;
    EXPECT_EQ(prtpage::DialogModal(ui.get(), nullptr, L"DLG_STOCK", PageProc<Editor>), IDCANCEL);
    ASSERT_TRUE(Editor::ran) << "the dialog did not run";
    EXPECT_EQ(std::vector<BYTE>(bytes, bytes + before.size()), before);

    Editor::button = IDOK;
    Editor::ran = false;
    EXPECT_EQ(prtpage::DialogModal(ui.get(), nullptr, L"DLG_STOCK", PageProc<Editor>), IDOK);
    ASSERT_TRUE(Editor::ran);
    EXPECT_EQ(dm->dmCopies, 42);
    EXPECT_EQ(prtconfig::get_cfg(dm)->distance, prtconfig::get_cfg(reinterpret_cast<const DEVMODEW *>(before.data()))->distance + 1000);
    prtfile::SetDriverDirectory(nullptr);
}

} // namespace
