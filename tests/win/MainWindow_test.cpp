// The real Pontara.exe seen from outside, as Logger32 or the operator sees it: its main window,
// the controls found where the window model puts them, their texts at creation, and when the
// window shows.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <optional>
#include <string>

#include "Logger32StandIn.h"
#include "StandInThread.h"
#include "logger32/Logger32Protocol.h"
#include "platform/Text.h"
#include "station/Harness.h"
#include "station/TestCase.h"
#include "ui/WindowModel.h"

namespace pontara {
namespace {

using namespace harness;
using namespace std::chrono_literals;
using std::chrono::milliseconds;

bool SameIgnoringCase(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

// The window is created first and its controls placed after; until then they may sit anywhere.
bool EveryDesignedControlInPlace(HWND window) {
    const auto placed = [window](const auto& models) {
        return std::all_of(models.begin(), models.end(), [window](const auto& model) {
            return ChildAt(window, model.rect) != nullptr;
        });
    };
    return placed(window_model::Fields()) && placed(window_model::Labels()) &&
           placed(window_model::Buttons());
}

std::vector<HWND> VisibleTopLevelWindows(DWORD processId) {
    std::vector<HWND> visible = TopLevelWindowsOf(processId);
    std::erase_if(visible, [](HWND window) { return !IsWindowVisible(window); });
    return visible;
}

class PontaraMainWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        pontara_.emplace(StartPontara());
        window_ = WaitForPontaraWindow(pontara_->Id());
        ASSERT_NE(window_, nullptr) << "no top-level window captioned \"Pontara\" within 10 s";
        PumpUntil([&] { return EveryDesignedControlInPlace(window_); }, 5000ms);
    }

    void TearDown() override { SaveScreenshotOnFailure(); }

    // Waits until the main window is visible; the time since launch when it was first seen.
    std::optional<milliseconds> WaitUntilShown(milliseconds timeout) {
        if (!PumpUntil([&] { return IsWindowVisible(window_) != FALSE; }, timeout)) {
            return std::nullopt;
        }
        return pontara_->SinceStart();
    }

    // A control that the window model places: there, a window of class `className` (Edit,
    // Static, Button), with the text it was designed with.
    void ExpectControl(HWND control, const std::string& name, const char* className,
                       const std::string& text) {
        ASSERT_NE(control, nullptr) << "no child window at the place of " << name << " among\n"
                                    << DescribeChildren(window_);
        EXPECT_TRUE(SameIgnoringCase(ClassName(control), className)) << ClassName(control);
        EXPECT_EQ(ControlText(control), text);
    }

    std::optional<ChildProcess> pontara_;
    HWND window_ = nullptr;
};

TEST_F(PontaraMainWindow, IsHiddenDuringTheSplashAndShownAboutThreeSecondsAfterLaunch) {
    ASSERT_LT(pontara_->SinceStart(), 2500ms) << "the window appeared too late to see it hidden";
    EXPECT_FALSE(IsWindowVisible(window_));
    const std::optional<milliseconds> shown = WaitUntilShown(10000ms);
    ASSERT_TRUE(shown.has_value()) << "the main window never became visible";
    // Timer4's 3000 ms run from the window's creation, a little after launch.
    EXPECT_GE(shown->count(), 2900);
    EXPECT_LE(shown->count(), 4500);
}

TEST_F(PontaraMainWindow, SplashIsTheOnlyVisibleTopmostWindowUntilTheMainWindowShows) {
    PumpFor(1000ms);
    const std::vector<HWND> visible = VisibleTopLevelWindows(pontara_->Id());
    ASSERT_EQ(visible.size(), 1u);
    const HWND splash = visible.front();
    EXPECT_NE(splash, window_);
    EXPECT_TRUE(HasExtendedStyle(splash, WS_EX_TOPMOST));

    ASSERT_TRUE(WaitUntilShown(10000ms).has_value());
    PumpUntil([&] { return !IsWindowVisible(splash); }, 500ms);
    EXPECT_FALSE(IsWindowVisible(splash)) << "the splash stayed on the screen";
}

TEST_F(PontaraMainWindow, BecomesTopmostAboutOneSecondAfterShowing) {
    const std::optional<milliseconds> shown = WaitUntilShown(10000ms);
    ASSERT_TRUE(shown.has_value());
    EXPECT_FALSE(HasExtendedStyle(window_, WS_EX_TOPMOST));
    ASSERT_TRUE(PumpUntil([&] { return HasExtendedStyle(window_, WS_EX_TOPMOST); }, 5000ms))
        << "the start-up sequencer did not make the main window topmost";
    const milliseconds topmostAfter = pontara_->SinceStart() - *shown;
    EXPECT_GE(topmostAfter.count(), 800);
    EXPECT_LE(topmostAfter.count(), 1600);
}

TEST_F(PontaraMainWindow, ClientAreaHasTheDesignedSizeInTheCentreOfTheScreen) {
    const int dpi = ScreenDpi();
    const SIZE client = ClientSize(window_);
    EXPECT_NEAR(client.cx, TwipsToPixels(window_model::ClientWidthTwips, dpi), 1);
    EXPECT_NEAR(client.cy, TwipsToPixels(window_model::ClientHeightTwips(), dpi), 1);

    RECT frame{};
    GetWindowRect(window_, &frame);
    EXPECT_NEAR((frame.left + frame.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 2);
    EXPECT_NEAR((frame.top + frame.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 2);
}

TEST_F(PontaraMainWindow, FieldsLieWhereTheModelPutsThemWithTheirTextsAtCreation) {
    for (const FieldModel& field : window_model::Fields()) {
        const std::string name = AsciiOf(field.name);
        SCOPED_TRACE(name);
        ASSERT_NO_FATAL_FAILURE(ExpectControl(FieldAt(window_, field.field), name, "Edit",
                                              AsciiOf(field.textAtCreation)));
    }
}

TEST_F(PontaraMainWindow, CaptionsBesideTheFieldsReadAsDesigned) {
    for (const LabelModel& label : window_model::Labels()) {
        const std::string name = AsciiOf(label.name);
        SCOPED_TRACE(name);
        ASSERT_NO_FATAL_FAILURE(
            ExpectControl(ChildAt(window_, label.rect), name, "Static", AsciiOf(label.caption)));
    }
}

TEST_F(PontaraMainWindow, ButtonsHaveTheirCaptionsAndOnlyTheRigButtonsStartDisabled) {
    for (const ButtonModel& button : window_model::Buttons()) {
        const std::string name = AsciiOf(button.name);
        SCOPED_TRACE(name);
        const HWND control = ButtonAt(window_, button.button);
        ASSERT_NO_FATAL_FAILURE(ExpectControl(control, name, "Button", AsciiOf(button.caption)));
        EXPECT_EQ(IsWindowEnabled(control) != FALSE, button.enabled);
    }
}

TEST_F(PontaraMainWindow, ExchangeFieldsAndTheSendButtonLieBelowTheVisibleClientArea) {
    const int clientHeight = ClientSize(window_).cy;
    const Field hidden[] = {Field::TextCommand, Field::Sent, Field::Cluster, Field::Freq_logger32};
    for (Field field : hidden) {
        SCOPED_TRACE(AsciiOf(window_model::Of(field).name));
        const HWND control = FieldAt(window_, field);
        ASSERT_NE(control, nullptr);
        EXPECT_GE(RectInParent(control).top, clientHeight);
    }
    const HWND send = ButtonAt(window_, Button::CommandSend);
    ASSERT_NE(send, nullptr);
    EXPECT_GE(RectInParent(send).top, clientHeight);
    // The last visible control ends inside the client area.
    const HWND packet = ButtonAt(window_, Button::Command3);
    ASSERT_NE(packet, nullptr);
    EXPECT_LE(RectInParent(packet).bottom, clientHeight);
}

// Logger32 writes into Sent by handle, and every real change of Sent makes the bridge post code
// 10 with Cluster's handle. Edit controls notify even when the text stays the same, so a second
// write of the same text must raise nothing. Reaching this needs the start-up sequencer through
// to its end, which waits for MixW.
TEST_F(PontaraMainWindow, SentChangePostsClusterHandleOnceAndTheSameTextAgainNothing) {
    standin::Logger32StandIn logger32;
    standin::StandInThread mixw;
    ASSERT_TRUE(PumpUntil([&] { return logger32.SentWindow() != nullptr; }, 15000ms))
        << "no handshake: the bridge never handed over its Sent field";
    const HWND sent = FieldAt(window_, Field::Sent);
    const HWND cluster = FieldAt(window_, Field::Cluster);
    ASSERT_EQ(logger32.SentWindow(), sent);

    const std::string spot = "<APP_DXSPOT_CLICKED:21>DL1ABC|14075.45|PSK31";
    ASSERT_TRUE(logger32.WriteSent(spot));
    ASSERT_TRUE(
        PumpUntil([&] { return logger32.CountCode(logger32::ClusterWindow) == 1; }, 2000ms));
    EXPECT_EQ(logger32.MessagesWithCode(logger32::ClusterWindow).front().lParam,
              standin::ParameterFromWindow(cluster));

    ASSERT_TRUE(logger32.WriteSent(spot));
    PumpFor(1000ms);
    EXPECT_EQ(logger32.CountCode(logger32::ClusterWindow), 1u);
}

}  // namespace
}  // namespace pontara
