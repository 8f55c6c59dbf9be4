// Logger32Sim.exe: the Logger32 stand-in on its own, for trying the bridge by hand and for the
// simulated station. Its window is the stand-in's "Logger32" window with controls added: report
// a dial frequency or a cluster value, write a text into the bridge's Sent field, reject chosen
// message names, and the transcript of everything received.
//
// Command line: Logger32Sim.exe [--transcript FILE] [--reject N]...
//   --transcript FILE   also append the transcript to FILE
//   --reject N          reject connect requests under "Logger32 N" (1 to 5); repeatable

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "Logger32StandIn.h"
#include "logger32/Logger32Protocol.h"

namespace {

using pontara::standin::ConnectAnswer;
using pontara::standin::Logger32StandIn;

constexpr int NameCount = static_cast<int>(pontara::logger32::MessageNames.size());

enum ControlId : int {
    FrequencyEdit = 1001,
    FrequencyButton,
    ClusterEdit,
    ClusterButton,
    SentEdit,
    SentButton,
    StatusLine,
    TranscriptList,
    FirstRejectBox,  // one per message name, from FirstRejectBox on
};

constexpr const char* SampleSpotClick = "<APP_DXSPOT_CLICKED:21>DL1ABC|14075.45|PSK31";

class SimWindow {
  public:
    explicit SimWindow(Logger32StandIn& standIn) : standIn_(standIn) {
        HWND window = standIn_.Window();
        MoveWindow(standIn_.TextWindow(), 8, 28, 628, 52, FALSE);
        Add("STATIC", "Text window (the last text command received):", 0, 8, 8, 400, 18, 0);
        Add("STATIC", "Dial frequency, Hz:", 0, 8, 98, 130, 18, 0);
        Add("EDIT", "14075450", WS_BORDER | ES_AUTOHSCROLL, 140, 94, 130, 24, FrequencyEdit);
        Add("BUTTON", "Report dial frequency", BS_PUSHBUTTON, 280, 93, 180, 26, FrequencyButton);
        Add("STATIC", "Cluster value:", 0, 8, 130, 130, 18, 0);
        Add("EDIT", "0", WS_BORDER | ES_AUTOHSCROLL, 140, 126, 130, 24, ClusterEdit);
        Add("BUTTON", "Report cluster value", BS_PUSHBUTTON, 280, 125, 180, 26, ClusterButton);
        Add("STATIC", "Text into Sent:", 0, 8, 162, 130, 18, 0);
        Add("EDIT", SampleSpotClick, WS_BORDER | ES_AUTOHSCROLL, 140, 158, 350, 24, SentEdit);
        Add("BUTTON", "Write Sent", BS_PUSHBUTTON, 500, 157, 136, 26, SentButton);
        for (int name = 1; name <= NameCount; ++name) {
            const std::string caption =
                std::string("Reject ") + pontara::logger32::MessageNames[name - 1];
            Add("BUTTON", caption.c_str(), BS_AUTOCHECKBOX, 8 + (name - 1) * 126, 192, 124, 22,
                FirstRejectBox + name - 1);
        }
        status_ = Add("STATIC", "", SS_LEFTNOWORDWRAP, 8, 222, 628, 18, StatusLine);
        transcript_ = Add("LISTBOX", "", WS_BORDER | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 8, 244, 628,
                          270, TranscriptList);

        for (const std::string& line : standIn_.Log().Lines()) {
            ShowLine(line);
        }
        standIn_.OnRecord(
            [this](const pontara::standin::Record& record) { ShowLine(record.Line()); });
        standIn_.OnOtherMessage([this](HWND, UINT message, WPARAM wParam, LPARAM) {
            return OnMessage(message, wParam);
        });
        ShowStatus();
        InvalidateRect(window, nullptr, TRUE);
    }

    void CheckRejectBox(int name) {
        SendMessageA(GetDlgItem(standIn_.Window(), FirstRejectBox + name - 1), BM_SETCHECK,
                     BST_CHECKED, 0);
    }

  private:
    HWND Add(const char* windowClass, const char* text, DWORD style, int x, int y, int width,
             int height, int id) {
        HWND control = CreateWindowExA(0, windowClass, text, WS_CHILD | WS_VISIBLE | style, x, y,
                                       width, height, standIn_.Window(),
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                       GetModuleHandleA(nullptr), nullptr);
        SendMessageA(control, WM_SETFONT,
                     reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        return control;
    }

    std::string ControlText(int id) const {
        char buffer[1024] = {};
        GetDlgItemTextA(standIn_.Window(), id, buffer, sizeof buffer);
        return buffer;
    }

    std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam) {
        if (message == WM_DESTROY) {
            PostQuitMessage(0);
            return std::nullopt;
        }
        if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) {
            return std::nullopt;
        }
        const int id = LOWORD(wParam);
        switch (id) {
            case FrequencyButton:
                standIn_.ReportDialFrequency(std::atoi(ControlText(FrequencyEdit).c_str()));
                return 0;
            case ClusterButton:
                standIn_.ReportClusterValue(std::atoi(ControlText(ClusterEdit).c_str()));
                return 0;
            case SentButton:
                standIn_.WriteSent(ControlText(SentEdit));
                return 0;
            default:
                break;
        }
        if (id >= FirstRejectBox && id < FirstRejectBox + NameCount) {
            const bool checked =
                SendMessageA(GetDlgItem(standIn_.Window(), id), BM_GETCHECK, 0, 0) == BST_CHECKED;
            standIn_.SetConnectAnswer(id - FirstRejectBox + 1,
                                      checked ? ConnectAnswer::Reject : ConnectAnswer::Accept);
            return 0;
        }
        return std::nullopt;
    }

    void ShowLine(const std::string& line) {
        const LRESULT index =
            SendMessageA(transcript_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
        SendMessageA(transcript_, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
        ShowStatus();
    }

    void ShowStatus() {
        char buffer[200];
        const int name = standIn_.NameInUse();
        std::snprintf(
            buffer, sizeof buffer, "Bridge window: 0x%08X    Name in use: %s    Sent field: 0x%08X",
            static_cast<unsigned>(pontara::standin::ParameterFromWindow(standIn_.BridgeWindow())),
            name == 0 ? "none" : pontara::logger32::MessageNames[name - 1],
            static_cast<unsigned>(pontara::standin::ParameterFromWindow(standIn_.SentWindow())));
        SetWindowTextA(status_, buffer);
    }

    Logger32StandIn& standIn_;
    HWND status_ = nullptr;
    HWND transcript_ = nullptr;
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    Logger32StandIn::Options options;
    options.visible = true;
    std::vector<int> rejected;
    for (int index = 1; index < __argc; ++index) {
        const char* argument = __argv[index];
        const bool hasValue = index + 1 < __argc;
        if (std::strcmp(argument, "--transcript") == 0 && hasValue) {
            options.transcriptPath = __argv[++index];
        } else if (std::strcmp(argument, "--reject") == 0 && hasValue) {
            rejected.push_back(std::atoi(__argv[++index]));
        } else {
            MessageBoxA(nullptr, "Usage: Logger32Sim.exe [--transcript FILE] [--reject N]...",
                        "Logger32 stand-in", MB_OK);
            return 2;
        }
    }

    Logger32StandIn standIn(options);
    SimWindow window(standIn);
    for (int name : rejected) {
        standIn.SetConnectAnswer(name, ConnectAnswer::Reject);
        window.CheckRejectBox(name);
    }

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
