// The settings dialog's push buttons and check boxes as the skin draws them, rendered
// in-process through the common controls' own painting, with version 6 of the common
// controls active as the program's manifest makes it.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "Harness.h"
#include "app/Win32Handles.h"
#include "controls/SkinPalette.h"
#include "gdi_level.h"
#include "settings/DlgSettings.h"

namespace kadrix {
namespace {

// The program's manifest from the source tree, as Wine sees the Linux path.
std::wstring ManifestPath() {
    const std::string file = __FILE__;
    return e2e::WinePath(file.substr(0, file.rfind("/tests/win/")) + "/resources/kadrix.manifest");
}

// Activates the manifest's activation context for the object's lifetime: windows
// created meanwhile get the version 6 controls.
class ManifestContext {
public:
    ManifestContext() {
        const std::wstring manifest = ManifestPath();
        ACTCTXW description{sizeof(description)};
        description.lpSource = manifest.c_str();
        context_ = CreateActCtxW(&description);
        if (context_ != INVALID_HANDLE_VALUE && !ActivateActCtx(context_, &cookie_)) cookie_ = 0;
    }
    ~ManifestContext() {
        if (cookie_) DeactivateActCtx(0, cookie_);
        if (context_ != INVALID_HANDLE_VALUE) ReleaseActCtx(context_);
    }
    ManifestContext(const ManifestContext&) = delete;
    ManifestContext& operator=(const ManifestContext&) = delete;
    bool Active() const { return cookie_ != 0; }

private:
    HANDLE context_ = INVALID_HANDLE_VALUE;
    ULONG_PTR cookie_ = 0;
};

// What a control paints when asked to print its client area into a memory bitmap.
struct Rendering {
    std::vector<COLORREF> pixels;

    int Count(COLORREF colour) const { return static_cast<int>(std::count(pixels.begin(), pixels.end(), colour)); }
    COLORREF MostCommon() const {
        std::map<COLORREF, int> counts;
        for (const COLORREF pixel : pixels) ++counts[pixel];
        return std::max_element(counts.begin(), counts.end(),
                                [](const auto& a, const auto& b) { return a.second < b.second; })
            ->first;
    }
};

Rendering Render(HWND control) {
    RECT client{};
    GetClientRect(control, &client);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(info.bmiHeader), client.right, -client.bottom, 1, 32, BI_RGB};
    void* bits = nullptr;
    unique_hdc dc(CreateCompatibleDC(nullptr));
    unique_hbitmap surface(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    Rendering rendering;
    if (!surface) return rendering;
    {
        SelectedObject selected(dc.get(), surface.get());
        SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
        GdiFlush();
    }
    const auto* bgra = static_cast<const DWORD*>(bits);
    for (int i = 0; i < client.right * client.bottom; ++i) {
        const DWORD pixel = bgra[i];
        rendering.pixels.push_back(RGB(pixel >> 16 & 0xFF, pixel >> 8 & 0xFF, pixel & 0xFF));
    }
    return rendering;
}

constexpr SettingsControl kCheckBoxes[] = {idCheckBoxSave, idCheckBoxNeedCursor, idCheckBoxPlaySound};
constexpr SettingsControl kPushButtons[] = {idBtnOpen, idBtnSave, idBtnClose};

class DialogSkin : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(context_.Active()) << "no activation context from the manifest";
        // The size ShowModal gives it, so the controls lie inside the client area.
        RECT frame{0, 0, kSettingsClientWidth, kSettingsClientHeight};
        AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(form_.handle(), GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongPtrW(form_.handle(), GWL_EXSTYLE)));
        SetWindowPos(form_.handle(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    HWND Item(SettingsControl id) const { return form_.Control(id); }

    ManifestContext context_;  // before the form: its controls are made in the context
    TFormSetting form_{nullptr};
};

TEST_F(DialogSkin, TickingACheckBoxFillsItsBoxInTheSkinsBlueWhateverTicksIt) {
    const struct {
        const char* how;
        void (*tick)(HWND box);
    } ways[] = {
        {"BM_SETCHECK", [](HWND box) { SendMessageW(box, BM_SETCHECK, BST_CHECKED, 0); }},
        {"click", [](HWND box) { SendMessageW(box, BM_CLICK, 0, 0); }},
        {"space bar",
         [](HWND box) {
             SendMessageW(box, WM_KEYDOWN, VK_SPACE, 0);
             SendMessageW(box, WM_KEYUP, VK_SPACE, 0xC0000001);
         }},
    };
    for (const SettingsControl id : kCheckBoxes) {
        for (const auto& way : ways) {
            const HWND box = Item(id);
            SendMessageW(box, BM_SETCHECK, BST_UNCHECKED, 0);
            const Rendering unticked = Render(box);
            way.tick(box);
            EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED) << id << " " << way.how;
            const Rendering ticked = Render(box);
            // The unticked box shows its blue edge only; the ticked one is blue inside too.
            EXPECT_GT(unticked.Count(kSkinBlue), 20) << id << " " << way.how;
            EXPECT_GT(ticked.Count(kSkinBlue), unticked.Count(kSkinBlue) + 80) << id << " " << way.how;
            EXPECT_EQ(unticked.MostCommon(), kSkinLightBackground) << id << " " << way.how;
        }
    }
}

TEST_F(DialogSkin, PushButtonFacesShowTheSkinsColoursForTheirStateNotTheStockFace) {
    const struct {
        const char* state;
        void (*apply)(HWND button);
        SkinControlState expected;
    } states[] = {
        {"normal", [](HWND) {}, {}},
        {"pressed", [](HWND button) { SendMessageW(button, BM_SETSTATE, TRUE, 0); }, {.pressed = true}},
        {"disabled", [](HWND button) { EnableWindow(button, FALSE); }, {.disabled = true}},
    };
    for (const SettingsControl id : kPushButtons) {
        for (const auto& state : states) {
            const HWND button = Item(id);
            state.apply(button);
            const Rendering face = Render(button);
            EXPECT_EQ(face.MostCommon(), PushButtonColoursFor(state.expected).face) << id << " " << state.state;
            EXPECT_NE(face.MostCommon(), GetSysColor(COLOR_BTNFACE)) << id << " " << state.state;
            EXPECT_GT(face.Count(PushButtonColoursFor(state.expected).text), 20) << id << " caption, " << state.state;
            SendMessageW(button, BM_SETSTATE, FALSE, 0);
            EnableWindow(button, TRUE);
        }
    }
}

TEST_F(DialogSkin, KeyboardFocusShowsOnButtonsAndCheckBoxes) {
    ShowWindow(form_.handle(), SW_SHOW);
    // Windows hides focus cues until the keyboard is used; this is keyboard use.
    SendMessageW(form_.handle(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    for (const SettingsControl id : {idBtnSave, idCheckBoxSave}) {
        SetFocus(Item(idEditPath));
        const Rendering without = Render(Item(id));
        SetFocus(Item(id));
        ASSERT_EQ(GetFocus(), Item(id));
        const Rendering with = Render(Item(id));
        EXPECT_NE(with.pixels, without.pixels) << id;
        if (id == idBtnSave) {
            EXPECT_GT(with.Count(kSkinFocusOnBlue), 100) << "the ring round the caption";
        }
    }
    ShowWindow(form_.handle(), SW_HIDE);
}

TEST_F(DialogSkin, RepaintingTheDrawnControlsManyTimesLeavesGdiObjectsFlat) {
    ShowWindow(form_.handle(), SW_SHOW);
    SendMessageW(form_.handle(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    int round = 0;
    // Every part gets drawn: ticks come and go, the focus moves between the kinds.
    auto repaint = [&] {
        ++round;
        for (const SettingsControl id : kCheckBoxes)
            SendMessageW(Item(id), BM_SETCHECK, round % 2 ? BST_CHECKED : BST_UNCHECKED, 0);
        SetFocus(Item(round % 2 ? idBtnSave : idCheckBoxSave));
        RedrawWindow(form_.handle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        for (const SettingsControl id : kCheckBoxes) Render(Item(id));
        for (const SettingsControl id : kPushButtons) Render(Item(id));
        Render(Item(idComboBoxFormats));
    };
    // The count below measures the skin only if the skin is what paints.
    ASSERT_EQ(Render(Item(idBtnSave)).MostCommon(), kSkinBlue);
    for (int warm_up = 0; warm_up < 20; ++warm_up) repaint();  // caches and first-use objects settle
    const long before = test::gdiLevel();
    for (int cycle = 0; cycle < 200; ++cycle) repaint();
    const long after = test::gdiLevel();
    EXPECT_LE(after - before, 16) << "before " << before << ", after " << after;
    ShowWindow(form_.handle(), SW_HIDE);
}

}  // namespace
}  // namespace kadrix
