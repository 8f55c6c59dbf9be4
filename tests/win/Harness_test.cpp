// The harness's own pieces where Wine could let them down quietly: a screenshot that is not of
// the screen, a child process that outlives its test, a message box that cannot be answered.

#include "station/Harness.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

namespace pontara {
namespace {

using namespace harness;
using namespace std::chrono_literals;

constexpr COLORREF Marker = RGB(255, 0, 0);

// A topmost borderless window painted in one colour at a known place on the screen.
class ColouredWindow {
  public:
    ColouredWindow(int x, int y, int size) {
        static const bool registered = [] {
            WNDCLASSA windowClass{};
            windowClass.lpfnWndProc = DefWindowProcA;
            windowClass.hInstance = GetModuleHandleA(nullptr);
            windowClass.hbrBackground = CreateSolidBrush(Marker);
            windowClass.lpszClassName = "PontaraHarnessMarker";
            return RegisterClassA(&windowClass) != 0;
        }();
        EXPECT_TRUE(registered);
        window_ =
            CreateWindowExA(WS_EX_TOPMOST, "PontaraHarnessMarker", "", WS_POPUP | WS_VISIBLE, x, y,
                            size, size, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        UpdateWindow(window_);
    }
    ~ColouredWindow() { DestroyWindow(window_); }

  private:
    HWND window_ = nullptr;
};

TEST(HarnessScreenshot, IsABitmapOfTheWholeScreenAsShown) {
    ColouredWindow marker(100, 120, 40);
    PumpFor(300ms);
    const std::string path = ArtifactPath("harness-screenshot.bmp");
    ASSERT_TRUE(SaveScreenshot(path));

    std::ifstream file(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)), {});
    ASSERT_GT(bytes.size(), sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER));
    BITMAPFILEHEADER header;
    BITMAPINFOHEADER info;
    std::memcpy(&header, bytes.data(), sizeof header);
    std::memcpy(&info, bytes.data() + sizeof header, sizeof info);
    EXPECT_EQ(header.bfType, 0x4D42);
    EXPECT_EQ(info.biWidth, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(info.biHeight, GetSystemMetrics(SM_CYSCREEN));
    ASSERT_EQ(info.biBitCount, 24);

    // Rows are stored bottom-up, blue-green-red.
    const std::size_t stride = (static_cast<std::size_t>(info.biWidth) * 3 + 3) & ~std::size_t{3};
    const auto pixel = [&](int x, int y) {
        const std::size_t row = static_cast<std::size_t>(info.biHeight - 1 - y);
        const auto* at = reinterpret_cast<const unsigned char*>(bytes.data() + header.bfOffBits +
                                                                row * stride + x * 3);
        return RGB(at[2], at[1], at[0]);
    };
    EXPECT_EQ(pixel(120, 140), Marker);
    EXPECT_NE(pixel(60, 140), Marker);
}

TEST(HarnessChildProcess, IsKilledWhenTheTestLetsGoOfIt) {
    HANDLE process = nullptr;
    {
        ChildProcess child = ChildProcess::Start(ProgramPath("Logger32Sim.exe"));
        ASSERT_TRUE(child.Running());
        ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), child.Handle(), GetCurrentProcess(),
                                    &process, SYNCHRONIZE, FALSE, 0));
    }
    EXPECT_EQ(WaitForSingleObject(process, 0), WAIT_OBJECT_0);
    CloseHandle(process);
}

TEST(HarnessChildProcess, WaitForExitGivesTheExitCode) {
    ChildProcess child = ChildProcess::Start(ProgramPath("Logger32Sim.exe"), "--no-such-option");
    // The stand-in program refuses an unknown option with a message box, then exits with 2.
    const HWND box = WaitForMessageBox("Logger32 stand-in", 10000ms);
    ASSERT_NE(box, nullptr);
    EXPECT_NE(MessageBoxText(box).find("Usage"), std::string::npos);
    ASSERT_TRUE(PressOk(box));
    EXPECT_EQ(child.WaitForExit(10000ms), std::optional<DWORD>(2));
}

}  // namespace
}  // namespace pontara
