// The big capture button driven by the real mouse. The picture it shows is read from
// the screen and told apart from the three state pictures as they should look there;
// a left press and release inside takes a capture, a press dragged out and the other
// buttons take none.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>

#include "Harness.h"
#include "app/Commands.h"
#include "app/Win32Handles.h"
#include "controls/ImageButtonLogic.h"
#include "controls/PictureDraw.h"
#include "controls/Skin.h"
#include "resources/ResourceIds.h"

namespace e2e {
namespace {

using kadrix::ButtonPicture;

constexpr std::array kStates = {ButtonPicture::Normal, ButtonPicture::Hover, ButtonPicture::Pressed};

const char* NameOf(std::optional<ButtonPicture> state) {
    if (!state) return "none of the pictures";
    switch (*state) {
    case ButtonPicture::Normal: return "normal";
    case ButtonPicture::Hover: return "hover";
    case ButtonPicture::Pressed: return "pressed";
    }
    return "?";
}

constexpr const wchar_t* kTooltipClass = L"tooltips_class32";

// A state picture blended over the main window's background at the button's place,
// the way the button paints it over what its parent shows.
Picture Appearance(HMODULE program, int picture_id, HBITMAP background, POINT offset, SIZE size) {
    const kadrix::DecodedPicture picture = kadrix::LoadPngResource(program, picture_id);
    if (picture.width != size.cx || picture.height != size.cy) return {};  // the button takes its picture's size
    const kadrix::WindowDC screen(nullptr);
    kadrix::unique_hbitmap surface(CreateCompatibleBitmap(screen.get(), size.cx, size.cy));
    {
        kadrix::unique_hdc dc(CreateCompatibleDC(screen.get()));
        kadrix::SelectedObject selected(dc.get(), surface.get());
        SetViewportOrgEx(dc.get(), -offset.x, -offset.y, nullptr);
        kadrix::PaintBackground(dc.get(), background);
        SetViewportOrgEx(dc.get(), 0, 0, nullptr);
        kadrix::DrawPicture(dc.get(), 0, 0, picture);
    }
    return BitmapPicture(surface.get());
}

// Mean absolute difference per colour channel over the pixels `counted` admits.
double Distance(const Picture& a, const Picture& b, const std::vector<bool>& counted) {
    long long sum = 0;
    long long pixels = 0;
    for (std::size_t i = 0; i < counted.size(); ++i) {
        if (!counted[i]) continue;
        const COLORREF x = a.pixels[i];
        const COLORREF y = b.pixels[i];
        sum += std::abs(GetRValue(x) - GetRValue(y)) + std::abs(GetGValue(x) - GetGValue(y)) +
               std::abs(GetBValue(x) - GetBValue(y));
        ++pixels;
    }
    return pixels ? static_cast<double>(sum) / (3.0 * static_cast<double>(pixels)) : 0.0;
}

// The button as the screen shows it, told apart by the state pictures it could show.
class ButtonOnScreen {
public:
    explicit ButtonOnScreen(HWND button) : area_(WindowRectOnScreen(button)) {
        const SIZE size{area_.right - area_.left, area_.bottom - area_.top};
        const RECT place = ChildRectInParent(button);
        ProgramResources resources;
        kadrix::unique_hbitmap background(static_cast<HBITMAP>(LoadImageW(
            resources.module(), MAKEINTRESOURCEW(IDB_BACKGROUND), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
        const int ids[] = {IDR_BUTTON_NORMAL, IDR_BUTTON_HOVER, IDR_BUTTON_PRESSED};
        for (std::size_t i = 0; i < kStates.size(); ++i)
            expected_[i] = Appearance(resources.module(), ids[i], background.get(), {place.left, place.top}, size);
    }

    bool Ready() const {
        for (const Picture& picture : expected_)
            if (picture.pixels.empty()) return false;
        return true;
    }

    POINT At(int x, int y) const { return {area_.left + x, area_.top + y}; }

    // The state picture the screen shows now: the nearest of the three, and only when
    // the others are at least three times as far (the read lies within a quarter of the
    // way to the next nearest). The hint tooltip may cover part of the button; its
    // rectangle is left out, as found just before and just after the read.
    std::optional<ButtonPicture> Shown() {
        std::vector<RECT> covers = VisibleWindowRects(kTooltipClass);
        const Picture screen = ScreenPicture(area_);
        const std::vector<RECT> after = VisibleWindowRects(kTooltipClass);
        covers.insert(covers.end(), after.begin(), after.end());
        const std::vector<bool> counted = Uncovered(covers);
        const auto uncovered = std::count(counted.begin(), counted.end(), true);
        std::ostringstream reading;
        reading << uncovered << " pixels read, " << covers.size() << " tooltip rectangles left out;";
        last_reading_ = reading.str();
        if (screen.pixels.size() != counted.size() || uncovered * 4 < static_cast<long long>(counted.size()))
            return std::nullopt;

        std::array<double, kStates.size()> distance{};
        std::size_t nearest = 0;
        for (std::size_t i = 0; i < kStates.size(); ++i) {
            distance[i] = Distance(screen, expected_[i], counted);
            reading << ' ' << NameOf(kStates[i]) << ' ' << distance[i];
            if (distance[i] < distance[nearest]) nearest = i;
        }
        last_reading_ = reading.str();
        for (std::size_t i = 0; i < kStates.size(); ++i)
            if (i != nearest && distance[nearest] * 4 > Distance(expected_[nearest], expected_[i], counted))
                return std::nullopt;
        return kStates[nearest];
    }

    // Waits until the screen shows `state`; on failure says what it showed last.
    ::testing::AssertionResult Shows(ButtonPicture state) {
        std::optional<ButtonPicture> shown;
        if (WaitFor([&] { return (shown = Shown()) == state; }, 5s)) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "shows " << NameOf(shown) << " instead of " << NameOf(state) << " ("
                                             << last_reading_ << ")";
    }

private:
    std::vector<bool> Uncovered(const std::vector<RECT>& covers) const {
        const int width = area_.right - area_.left;
        const int height = area_.bottom - area_.top;
        std::vector<bool> counted(static_cast<std::size_t>(width) * height, true);
        for (const RECT& cover : covers)
            for (int y = std::max(cover.top, area_.top); y < std::min(cover.bottom, area_.bottom); ++y)
                for (int x = std::max(cover.left, area_.left); x < std::min(cover.right, area_.right); ++x)
                    counted[static_cast<std::size_t>(y - area_.top) * width + (x - area_.left)] = false;
        return counted;
    }

    RECT area_;
    std::array<Picture, kStates.size()> expected_;
    std::string last_reading_;
};

// Away from the main window, where the pointer rests before the program starts.
constexpr POINT kAway{5, 5};

enum class Act { Move, PressLeft, ReleaseLeft, PressRight, ReleaseRight };

TEST(ImageButtonOnScreen, ShowsThePictureForWhereThePointerIsAndWhatItHolds) {
    const std::filesystem::path folder = FreshFolder(L"image-button-pictures");
    ResetStoredOptions({.img_format = 0, .need_save = 1, .save_path = folder.wstring(), .play_sound = 0});
    // Where a previous run left it, the pointer could be over the button's place.
    ASSERT_TRUE(PlacePointer(kAway));
    Program program = Program::Start();
    ButtonOnScreen button(program.Control(kadrix::cmdScreen));
    ASSERT_TRUE(button.Ready()) << "the state pictures are not the button's size";

    // Each row shows a different picture from the row before, so a step that changes
    // nothing on the screen fails. Buttons go down and up where the pointer already
    // rests, so no move of the pointer comes after them.
    const struct {
        const char* what;
        Act act;
        int x, y;  // in the button; kAway when negative
        ButtonPicture shows;
    } steps[] = {
        {"pointer away, the program just shown", Act::Move, -1, -1, ButtonPicture::Normal},
        {"first point inside the margins", Act::Move, 3, 3, ButtonPicture::Hover},
        {"left margin", Act::Move, 2, 33, ButtonPicture::Normal},
        {"middle", Act::Move, 138, 33, ButtonPicture::Hover},
        {"top margin", Act::Move, 138, 2, ButtonPicture::Normal},
        {"last point inside the margins", Act::Move, 274, 63, ButtonPicture::Hover},
        {"right margin", Act::Move, 275, 33, ButtonPicture::Normal},
        {"middle", Act::Move, 138, 50, ButtonPicture::Hover},
        {"bottom margin", Act::Move, 138, 64, ButtonPicture::Normal},
        {"middle", Act::Move, 138, 50, ButtonPicture::Hover},
        {"out of the window in one jump", Act::Move, -1, -1, ButtonPicture::Normal},
        {"back inside", Act::Move, 140, 48, ButtonPicture::Hover},
        {"left press", Act::PressLeft, 140, 48, ButtonPicture::Pressed},
        // The click hides the window for the capture; it comes back under the pointer.
        {"left release inside", Act::ReleaseLeft, 140, 48, ButtonPicture::Hover},
        {"out of the window in one jump", Act::Move, -1, -1, ButtonPicture::Normal},
        {"back inside", Act::Move, 140, 48, ButtonPicture::Hover},
        {"right press", Act::PressRight, 140, 48, ButtonPicture::Pressed},
        {"right release", Act::ReleaseRight, 140, 48, ButtonPicture::Normal},
        {"left press again", Act::PressLeft, 140, 48, ButtonPicture::Pressed},
        {"dragged out while pressed", Act::Move, 140, -30, ButtonPicture::Normal},
        {"dragged back in while pressed", Act::Move, 140, 48, ButtonPicture::Hover},
        {"dragged out and released", Act::ReleaseLeft, 140, -30, ButtonPicture::Normal},
    };
    for (const auto& step : steps) {
        const POINT point = step.x < 0 ? kAway : button.At(step.x, step.y);
        switch (step.act) {
        case Act::Move: ASSERT_TRUE(PlacePointer(point)) << step.what; break;
        case Act::PressLeft: PressMouse(point, 0); break;
        case Act::ReleaseLeft: ReleaseMouse(point, 0); break;
        case Act::PressRight: PressMouse(point, 1); break;
        case Act::ReleaseRight: ReleaseMouse(point, 1); break;
        }
        EXPECT_TRUE(button.Shows(step.shows)) << step.what;
    }
    EXPECT_EQ(WaitForFiles(folder, 1).size(), 1u) << "only the left release inside clicks";
}

TEST(ImageButtonOnScreen, OnlyALeftClickInsideTakesACapture) {
    const std::filesystem::path folder = FreshFolder(L"image-button");
    ResetStoredOptions({.img_format = 0, .need_save = 1, .save_path = folder.wstring(), .play_sound = 0});
    Program program = Program::Start();
    const RECT area = WindowRectOnScreen(program.Control(kadrix::cmdScreen));
    ASSERT_EQ(area.right - area.left, 277);
    ASSERT_EQ(area.bottom - area.top, 66);
    auto at = [&](int x, int y) { return POINT{area.left + x, area.top + y}; };

    PressMouse(at(100, 30));
    MoveMouse(at(100, -20));
    ReleaseMouse(at(320, 30));
    Click(at(100, 30), 1);
    Click(at(150, 30), 2);
    Click(at(2, 64));  // inside the client area, though outside the hover margins
    ASSERT_EQ(WaitForFiles(folder, 1).size(), 1u);
    // Captures run one after another, so a second file, had the drag or the other
    // buttons clicked, would come within this limit.
    EXPECT_EQ(WaitForFiles(folder, 2, 2s).size(), 1u);
}

}  // namespace
}  // namespace e2e
