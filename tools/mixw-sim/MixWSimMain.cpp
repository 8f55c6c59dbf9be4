// MixWSim.exe: the MixW stand-in on its own, in a window that shows what it holds and what it
// received, for trying Pontara by hand and for tests that need MixW in another process.

#include <windows.h>
// These need the types of windows.h.
#include <objbase.h>
#include <shellapi.h>

#include <cwchar>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "MixWSimWindow.h"
#include "MixWStandIn.h"
#include "mixw/MixWAutomation.h"
#include "platform/PlatformError.h"
#include "win32/ScopedCom_win.h"
#include "win32/WinError_win.h"
#include "win32/WinUtil_win.h"

namespace pontara::standin {

namespace {

constexpr std::size_t kCallsShown = 25;

struct Options {
    std::filesystem::path transcript;
    std::vector<Text> failing;
    bool frequencyAsMethods = false;
};

Options ReadCommandLine() {
    Options options;
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments == nullptr) {
        return options;
    }
    for (int position = 1; position < count; ++position) {
        std::wstring name = arguments[position];
        if (name == L"--frequency-as-methods") {
            options.frequencyAsMethods = true;
            continue;
        }
        if (position + 1 >= count) {
            break;
        }
        std::wstring value = arguments[position + 1];
        if (name == L"--transcript") {
            options.transcript = value;
            ++position;
        } else if (name == L"--fail") {
            options.failing.push_back(FromWide(value.data(), value.size()));
            ++position;
        }
    }
    LocalFree(arguments);
    return options;
}

struct SimWindow {
    HWND window = nullptr;
    std::unique_ptr<MixWStandIn> standIn;

    HWND Control(int id) const { return GetDlgItem(window, id); }

    Text ControlText(int id) const {
        HWND control = Control(id);
        int length = GetWindowTextLengthW(control);
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        GetWindowTextW(control, text.data(), length + 1);
        return FromWide(text.data(), static_cast<std::size_t>(length));
    }

    // The control's text as a number, none unless the whole text is one.
    std::optional<double> ControlNumber(int id) const {
        Text text = ControlText(id);
        wchar_t* end = nullptr;
        double number = std::wcstod(Wide(text), &end);
        if (text.empty() || *end != L'\0') {
            return std::nullopt;
        }
        return number;
    }

    void ShowStatus(const Text& status) const {
        SetWindowTextW(Control(window::kStatusLine), Wide(status));
    }

    void Refresh() const {
        if (!standIn) {
            return;
        }
        Text view = Text(mixw::ProgId) + u" running   FqA " + TextOf(standIn->FqA()) +
                    u" Hz   AudioFq " + TextOf(standIn->AudioFq()) + u" Hz\r\n\r\n";
        for (const ItemState& item : standIn->Items()) {
            view += item.topic + u" " + item.item + u" = \"" + item.value + u"\"\r\n";
        }
        for (const auto& [index, value] : standIn->OtherQsoData()) {
            view += u"QSO data " + AsciiText(std::to_string(index)) + u" = \"" + value + u"\"\r\n";
        }
        view += u"\r\nLast calls, newest first:\r\n";
        std::vector<std::string> lines = standIn->Log()->Lines();
        for (std::size_t shown = 0; shown < kCallsShown && shown < lines.size(); ++shown) {
            view += AsciiText(lines[lines.size() - 1 - shown]) + u"\r\n";
        }
        SetWindowTextW(Control(window::kStateView), Wide(view));
    }

    void SetByHand() {
        if (!standIn) {
            return;
        }
        Text name = ControlText(window::kItemBox);
        Text value = ControlText(window::kValueBox);
        wchar_t* end = nullptr;
        long index = std::wcstol(Wide(name), &end, 10);
        if (!name.empty() && end != nullptr && *end == L'\0' && index >= -32768 && index <= 32767) {
            standIn->SetQsoData(static_cast<std::int16_t>(index), value);
            ShowStatus(u"QSO data " + name + u" set");
            return;
        }
        for (const ItemState& item : standIn->Items()) {
            if (CompareStringOrdinal(Wide(item.item), -1, Wide(name), -1, TRUE) == CSTR_EQUAL) {
                standIn->SetItem(item.topic, item.item, value);
                ShowStatus(item.topic + u" " + item.item + u" set");
                return;
            }
        }
        ShowStatus(u"No item \"" + name + u"\"");
    }

    void SetFrequencyByHand() {
        if (!standIn) {
            return;
        }
        std::optional<double> fqA = ControlNumber(window::kFqABox);
        std::optional<double> audioFq = ControlNumber(window::kAudioFqBox);
        if (!fqA || !audioFq) {
            ShowStatus(u"FqA and AudioFq must be numbers in hertz");
            return;
        }
        standIn->SetFrequency(*fqA, *audioFq);
        ShowStatus(u"Frequency set");
    }

    void CreateControls() {
        HINSTANCE instance = GetModuleHandleW(nullptr);
        HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        auto add = [&](const wchar_t* type, const wchar_t* text, DWORD style, int id, int x, int y,
                       int width, int height, DWORD extended = 0) {
            HWND control = CreateWindowExW(
                extended, type, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, window,
                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        };
        // An edit box with its label above it.
        auto addBox = [&](const wchar_t* label, int id, const wchar_t* text, int x, int y) {
            add(L"STATIC", label, 0, 0, x, y, 200, 16);
            add(L"EDIT", text, ES_AUTOHSCROLL | WS_TABSTOP, id, x, y + 18, 200, 22,
                WS_EX_CLIENTEDGE);
        };
        addBox(L"Item (name or QSO-data index)", window::kItemBox, L"Call", 10, 8);
        addBox(L"Value", window::kValueBox, L"", 220, 8);
        add(L"BUTTON", L"Set", BS_PUSHBUTTON | WS_TABSTOP, window::kSetButton, 430, 26, 110, 22);
        addBox(L"FqA (Hz)", window::kFqABox, L"14070000", 10, 56);
        addBox(L"AudioFq (Hz)", window::kAudioFqBox, L"1500", 220, 56);
        add(L"BUTTON", L"Set frequency", BS_PUSHBUTTON | WS_TABSTOP, window::kSetFrequencyButton,
            430, 74, 110, 22);
        add(L"STATIC", L"", SS_LEFTNOWORDWRAP, window::kStatusLine, 10, 104, 530, 16);
        add(L"EDIT", L"",
            ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL,
            window::kStateView, 10, 124, 530, 420, WS_EX_CLIENTEDGE);
    }
};

LRESULT CALLBACK SimWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* sim = WindowOwner<SimWindow>(window, message, lParam);
    switch (message) {
        case WM_CREATE:
            sim->window = window;
            sim->CreateControls();
            return 0;
        case WM_COMMAND:
            if (sim != nullptr && HIWORD(wParam) == BN_CLICKED) {
                try {
                    if (LOWORD(wParam) == window::kSetButton) {
                        sim->SetByHand();
                    } else if (LOWORD(wParam) == window::kSetFrequencyButton) {
                        sim->SetFrequencyByHand();
                    }
                } catch (const std::exception& error) {
                    sim->ShowStatus(AsciiText(error.what()));
                }
                return 0;
            }
            break;
        case WM_DESTROY:
            if (sim != nullptr) {
                sim->standIn.reset();
            }
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int Run(int show) {
    Options options = ReadCommandLine();

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = SimWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = window::kClassName;
    RegisterClassW(&windowClass);

    SimWindow sim;
    HWND window =
        CreateWindowExW(0, window::kClassName, window::kCaption, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                        CW_USEDEFAULT, 570, 600, nullptr, nullptr, GetModuleHandleW(nullptr), &sim);
    if (window == nullptr) {
        return 1;
    }
    try {
        auto transcript = std::make_shared<Transcript>(options.transcript);
        sim.standIn = std::make_unique<MixWStandIn>(transcript);
        for (const Text& member : options.failing) {
            sim.standIn->FailMember(member, true);
        }
        sim.standIn->DeclareFrequencyAsMethods(options.frequencyAsMethods);
        sim.standIn->SetObserver([&sim] { sim.Refresh(); });
        sim.ShowStatus(u"Running");
        sim.Refresh();
    } catch (const PlatformError& error) {
        sim.standIn.reset();
        sim.ShowStatus(u"Not running: " + error.Describe());
    } catch (const std::exception& error) {
        sim.standIn.reset();
        sim.ShowStatus(u"Not running: " + AsciiText(error.what()));
    }
    ShowWindow(window, show);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(window, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return 0;
}

}  // namespace

}  // namespace pontara::standin

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show) {
    const pontara::ScopedComApartment apartment;
    return pontara::standin::Run(show);
}
