#pragma once
// Scripted stand-ins for Logger32 and MixW inside the simulated host. They answer as the real
// programs would and record what the bridge sent them; tests script them and read the records.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "LinkMessage.h"
#include "mixw/MixWAutomation.h"
#include "platform/Host.h"

namespace pontara::sim {

class SimHost;

// Another program's top-level window as FindWindow and EnumWindows see it.
struct SimTopLevelWindow {
    std::string title;
    std::string className;
    WindowHandle window;
};

// Logger32: its main window, its text window and the five registered message names.
class SimLogger32 {
  public:
    static constexpr WindowHandle MainWindowHandle = 0x00010032;
    static constexpr WindowHandle TextWindowHandle = 0x00010034;

    struct TextReceived {
        int time;
        Text text;
        std::string ansi;  // the bytes as delivered in the ANSI code page
    };

    // The windows of the running instance; a Logger32 started again has new ones.
    WindowHandle mainWindow = MainWindowHandle;
    WindowHandle textWindow = TextWindowHandle;
    bool running = true;
    bool elevated = false;             // runs as administrator
    bool answersConnect = true;        // accept or reject each connect request
    std::set<int> rejectedNames;       // name numbers Logger32 rejects
    bool namesTextWindow = true;       // code 3 follows an accept
    bool textWindowFirst = false;      // code 3 comes before the accept it belongs to
    WindowHandle sentWindow = 0;       // the last non-zero code-2 lParam
    WindowHandle textWindowNamed = 0;  // the last code-3 lParam the bridge received; 0: none
    int acceptedName = 1;              // the number of the name whose connect request it accepted
    int textWindowsNamedFirst = 0;     // accepts that came after the text window they belong to
    // Timed by the virtual clock.
    std::vector<standin::LinkMessage> received;
    std::vector<TextReceived> texts;
    // Runs inside a delivery, while the bridge waits in its own WM_SETTEXT (Logger32 may write
    // back into Sent then).
    std::function<void(const Text&)> onText;

    // Since when Logger32 has taken no message (busy with a serial port, stuck in a dialog of its
    // own); none while it answers. Meanwhile what is posted to it waits in its queue.
    std::optional<int> hungSince;
    struct Posted {
        int nameNumber;
        std::uint32_t code;
        std::int32_t lParam;
    };
    std::vector<Posted> queued;

    // How many more times FindWindow finds Logger32 before its window is gone; -1: always.
    mutable int windowLooksLeft = -1;

    WindowHandle Window() const { return running && windowLooksLeft != 0 ? mainWindow : 0; }
    // Logger32 closes: its windows are destroyed.
    void Close() { running = false; }
    // Logger32 is started again, with new windows and no link yet.
    void StartAgain();
    std::vector<std::uint32_t> Codes() const;

  private:
    friend class SimHost;
    void Receive(SimHost& host, int nameNumber, std::uint32_t code, std::int32_t lParam, bool sent);
};

// MixW: its automation object and its DDE server "MixW".
class SimMixW {
  public:
    struct Call {
        int time;
        mixw::Member member;
        Text argument;  // macro text, or "index value", or the index read
    };

    bool running = true;  // registered as the active object; the DDE server answers
    double fqA = 14070000;
    double audioFq = 1500;
    std::map<std::int16_t, Text> qsoData;
    std::set<mixw::Member> failingMembers;
    std::vector<Call> calls;
    int attachAttempts = 0;
    // A modal dialog of MixW's own, open from `from` until `until` (virtual time): meanwhile
    // MixW turns every automation call away as busy (SERVERCALL_RETRYLATER), and on Windows the
    // bridge's message filter cancels it at once (RPC_E_CALL_REJECTED).
    struct BusySpell {
        int from;
        int until;
    };
    std::vector<BusySpell> busySpells;
    int rejectedCalls = 0;  // calls turned away as busy
    bool BusyAt(int time) const;

    // Virtual time each automation call and each DDE link opening takes to be answered.
    int callTime = 0;
    int linkTime = 0;
    int callsInFlight = 0;
    int mostCallsInFlight = 0;

    // DDE items by "topic|item" in lower case; a served item may have no value yet.
    std::map<std::u16string, std::optional<Text>> items;

    SimMixW();
    // Changes an item as the operator would in MixW; linked fields follow.
    void SetItem(SimHost& host, TextView topic, TextView item, const Text& value);
    std::vector<Text> Macros() const;
};

}  // namespace pontara::sim
