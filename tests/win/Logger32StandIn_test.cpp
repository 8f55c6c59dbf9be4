// The Logger32 stand-in against a fake bridge window in the test process: the end-to-end tests
// trust what it records and how it answers, so both are checked here first.

#include "Logger32StandIn.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "logger32/Logger32Protocol.h"
#include "station/Harness.h"
#include "win32/WinUtil_win.h"

namespace pontara {
namespace {

using harness::PumpFor;
using harness::PumpUntil;
using standin::ConnectAnswer;
using standin::Logger32StandIn;
using namespace std::chrono_literals;

struct BridgeMessage {
    int nameIndex;
    std::uint32_t code;
    std::int32_t lParam;
};

// The bridge's side, reduced to what the stand-in talks to: a top-level window that records
// the registered messages it gets, and an edit field standing for Sent.
class FakeBridge {
  public:
    FakeBridge() {
        for (const char* name : logger32::MessageNames) {
            ids_.push_back(RegisterWindowMessageA(name));
        }
        static const bool registered = [] {
            WNDCLASSA windowClass{};
            windowClass.lpfnWndProc = &Proc;
            windowClass.hInstance = GetModuleHandleA(nullptr);
            windowClass.lpszClassName = "PontaraFakeBridge";
            return RegisterClassA(&windowClass) != 0;
        }();
        EXPECT_TRUE(registered);
        window_ = CreateWindowExA(0, "PontaraFakeBridge", "Fake bridge", WS_OVERLAPPEDWINDOW, 0, 0,
                                  200, 200, nullptr, nullptr, GetModuleHandleA(nullptr), this);
        sent_ = CreateWindowExA(0, "EDIT", "Sent", WS_CHILD, 0, 0, 100, 20, window_, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    }
    ~FakeBridge() { DestroyWindow(window_); }

    HWND Window() const { return window_; }
    HWND Sent() const { return sent_; }
    std::int32_t Parameter() const { return standin::ParameterFromWindow(window_); }
    const std::vector<BridgeMessage>& Received() const { return received_; }

    void Post(int nameIndex, std::uint32_t code, std::int32_t lParam, HWND to) {
        PostMessageA(to, ids_[static_cast<std::size_t>(nameIndex - 1)], code, lParam);
    }
    bool WaitForMessages(std::size_t count) {
        return PumpUntil([&] { return received_.size() >= count; }, 2000ms);
    }

  private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = WindowOwner<FakeBridge>(window, message, lParam);
        if (self != nullptr) {
            for (std::size_t index = 0; index < self->ids_.size(); ++index) {
                if (message == self->ids_[index]) {
                    self->received_.push_back({static_cast<int>(index) + 1,
                                               static_cast<std::uint32_t>(wParam),
                                               static_cast<std::int32_t>(lParam)});
                    return 0;
                }
            }
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    std::vector<UINT> ids_;
    HWND window_ = nullptr;
    HWND sent_ = nullptr;
    std::vector<BridgeMessage> received_;
};

class Logger32StandInTest : public ::testing::Test {
  protected:
    // The bridge's connect request under `nameIndex`, as the start-up sequencer posts it.
    void Connect(int nameIndex) {
        bridge_.Post(nameIndex, logger32::ConnectRequest, bridge_.Parameter(), standIn_.Window());
        PumpUntil([&] { return standIn_.CountCode(logger32::ConnectRequest) > connects_; }, 2000ms);
        ++connects_;
    }
    void HandOverSentField() {
        bridge_.Post(1, logger32::SentWindow, 0, standIn_.Window());
        bridge_.Post(1, logger32::SentWindow, standin::ParameterFromWindow(bridge_.Sent()),
                     standIn_.Window());
        PumpUntil([&] { return standIn_.SentWindow() != nullptr; }, 2000ms);
    }

    FakeBridge bridge_;
    Logger32StandIn standIn_;
    std::size_t connects_ = 0;
};

TEST_F(Logger32StandInTest, IsFoundByTheTitleTheBridgeLooksFor) {
    EXPECT_EQ(FindWindowA(nullptr, "Logger32"), standIn_.Window());
}

TEST_F(Logger32StandInTest, AcceptsWithCodeZeroThenNamesItsTextWindowUnderTheSameName) {
    Connect(1);
    ASSERT_TRUE(bridge_.WaitForMessages(2));
    const auto& received = bridge_.Received();
    EXPECT_EQ(received[0].nameIndex, 1);
    EXPECT_EQ(received[0].code, logger32::ConnectAnswer);
    EXPECT_NE(received[0].lParam, 0);
    EXPECT_EQ(received[1].nameIndex, 1);
    EXPECT_EQ(received[1].code, logger32::TextWindow);
    EXPECT_EQ(received[1].lParam, standin::ParameterFromWindow(standIn_.TextWindow()));
    EXPECT_EQ(standIn_.BridgeWindow(), bridge_.Window());
    EXPECT_EQ(standIn_.NameInUse(), 1);
}

TEST_F(Logger32StandInTest, AnswersEachNameAsScripted) {
    standIn_.SetConnectAnswer(1, ConnectAnswer::Reject);
    standIn_.SetConnectAnswer(3, ConnectAnswer::Reject);
    standIn_.SetConnectAnswer(5, ConnectAnswer::Reject);
    struct Row {
        int nameIndex;
        std::int32_t expectedAnswer;  // lParam of code 0
        std::size_t messagesInAnswer;
    };
    const Row rows[] = {{1, 0, 1}, {2, 1, 2}, {3, 0, 1}, {4, 1, 2}, {5, 0, 1}};
    std::size_t expectedTotal = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE("Logger32 " + std::to_string(row.nameIndex));
        Connect(row.nameIndex);
        expectedTotal += row.messagesInAnswer;
        ASSERT_TRUE(bridge_.WaitForMessages(expectedTotal));
        const BridgeMessage& answer = bridge_.Received()[expectedTotal - row.messagesInAnswer];
        EXPECT_EQ(answer.nameIndex, row.nameIndex);
        EXPECT_EQ(answer.code, logger32::ConnectAnswer);
        EXPECT_EQ(answer.lParam, row.expectedAnswer);
        EXPECT_EQ(standIn_.NameInUse(), row.nameIndex);
    }
    PumpFor(100ms);
    EXPECT_EQ(bridge_.Received().size(), expectedTotal);
}

TEST_F(Logger32StandInTest, IgnoredRequestGetsNoAnswer) {
    standIn_.SetConnectAnswerForAll(ConnectAnswer::Ignore);
    Connect(2);
    PumpFor(200ms);
    EXPECT_TRUE(bridge_.Received().empty());
    EXPECT_EQ(standIn_.NameInUse(), 2);
}

TEST_F(Logger32StandInTest, KeepsTheLastNonZeroCodeTwoParameterAsTheSentField) {
    HandOverSentField();
    EXPECT_EQ(standIn_.SentWindow(), bridge_.Sent());
    bridge_.Post(1, logger32::SentWindow, 0, standIn_.Window());
    PumpUntil([&] { return standIn_.CountCode(logger32::SentWindow) == 3; }, 2000ms);
    EXPECT_EQ(standIn_.SentWindow(), bridge_.Sent());
}

TEST_F(Logger32StandInTest, RecordsNameCodeParameterAndWhetherPostedOrSent) {
    bridge_.Post(2, logger32::QsoLogged, 1, standIn_.Window());
    // Taken before the send starts: a waiting thread's sent message is handled before any
    // posted one.
    ASSERT_TRUE(PumpUntil([&] { return standIn_.Messages().size() == 1; }, 2000ms));
    const HWND target = standIn_.Window();
    const UINT leaving = RegisterWindowMessageA("Logger32 3");
    std::atomic<bool> done = false;
    std::thread sender([&] {
        SendMessageA(target, leaving, logger32::Leaving, 0);
        done = true;
    });
    ASSERT_TRUE(PumpUntil([&] { return done.load() && standIn_.Messages().size() == 2; }, 2000ms));
    sender.join();

    const auto messages = standIn_.Messages();
    EXPECT_EQ(messages[0].name, 2);
    EXPECT_EQ(messages[0].code, logger32::QsoLogged);
    EXPECT_EQ(messages[0].lParam, 1);
    EXPECT_FALSE(messages[0].sent);
    EXPECT_EQ(messages[1].name, 3);
    EXPECT_EQ(messages[1].code, logger32::Leaving);
    EXPECT_TRUE(messages[1].sent);
}

TEST_F(Logger32StandInTest, ReportsUnderTheNameInUseWithSignedParameters) {
    standIn_.SetConnectAnswer(1, ConnectAnswer::Reject);
    Connect(1);
    Connect(2);
    ASSERT_TRUE(bridge_.WaitForMessages(3));
    const std::size_t before = bridge_.Received().size();

    EXPECT_TRUE(standIn_.ReportDialFrequency(14075450));
    EXPECT_TRUE(standIn_.ReportClusterValue(-3));
    EXPECT_TRUE(standIn_.SendCode(101, -2147483647 - 1));
    ASSERT_TRUE(bridge_.WaitForMessages(before + 3));
    const auto& received = bridge_.Received();
    EXPECT_EQ(received[before].nameIndex, 2);
    EXPECT_EQ(received[before].code, logger32::DialFrequency);
    EXPECT_EQ(received[before].lParam, 14075450);
    EXPECT_EQ(received[before + 1].code, logger32::ClusterValue);
    EXPECT_EQ(received[before + 1].lParam, -3);
    EXPECT_EQ(received[before + 2].code, 101u);
    EXPECT_EQ(received[before + 2].lParam, -2147483647 - 1);
}

TEST_F(Logger32StandInTest, ReportBeforeAnyConnectRequestGoesNowhere) {
    EXPECT_FALSE(standIn_.ReportDialFrequency(7000000));
}

TEST_F(Logger32StandInTest, WriteSentSetsTheTextOfTheBridgesSentField) {
    HandOverSentField();
    const std::string spot = "<APP_DXSPOT_CLICKED:21>DL1ABC|14075.45|PSK31";
    ASSERT_TRUE(standIn_.WriteSent(spot));
    char text[128] = {};
    GetWindowTextA(bridge_.Sent(), text, sizeof text);
    EXPECT_EQ(std::string(text), spot);
}

TEST_F(Logger32StandInTest, WriteSentWithoutASentFieldFails) {
    EXPECT_FALSE(standIn_.WriteSent("<EOF>"));
}

TEST_F(Logger32StandInTest, RecordsTextCommandsAsTheAnsiBytesReceived) {
    const HWND textWindow = standIn_.TextWindow();
    const std::string command = "<APP_FORCE_MODE:5>PSK31";
    const std::string accented = "<NAME:4>Ren\xE9";
    std::atomic<bool> done = false;
    std::thread sender([&] {
        SendMessageA(textWindow, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(command.c_str()));
        SendMessageA(textWindow, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(accented.c_str()));
        done = true;
    });
    ASSERT_TRUE(PumpUntil([&] { return done.load(); }, 2000ms));
    sender.join();

    const auto texts = standIn_.Texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].ansi, command);
    EXPECT_TRUE(texts[0].sent);
    EXPECT_EQ(texts[1].ansi, accented);
    const auto transcript = standIn_.Log().Lines();
    EXPECT_NE(std::find_if(transcript.begin(), transcript.end(),
                           [](const std::string& line) {
                               return line.find(" text \"<NAME:4>Ren\\xE9\" sent") !=
                                      std::string::npos;
                           }),
              transcript.end());
}

TEST_F(Logger32StandInTest, TranscriptLinesAreMillisecondsEventDetails) {
    Connect(1);
    ASSERT_TRUE(bridge_.WaitForMessages(2));
    const std::regex line(R"(^\d+ [a-z-]+( .*)?$)");
    const auto transcript = standIn_.Log().Lines();
    ASSERT_GE(transcript.size(), 4u);
    for (const std::string& entry : transcript) {
        EXPECT_TRUE(std::regex_match(entry, line)) << entry;
    }
    const std::string request =
        "received name=1 code=1 lparam=" + std::to_string(bridge_.Parameter()) + " posted";
    EXPECT_NE(transcript[1].find(request), std::string::npos) << transcript[1];
    EXPECT_NE(transcript[2].find("post name=1 code=0 lparam=1 "), std::string::npos);
}

TEST(Logger32StandInFile, AppendsTheTranscriptToTheFileLineByLine) {
    const std::string path = harness::ArtifactPath("logger32-standin-transcript.txt");
    DeleteFileA(path.c_str());
    std::vector<std::string> expected;
    {
        Logger32StandIn::Options options;
        options.transcriptPath = path;
        Logger32StandIn standIn(options);
        standIn.ReportDialFrequency(1);
        expected = standIn.Log().Lines();
    }
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        lines.push_back(line);
    }
    ASSERT_EQ(lines.size(), expected.size() + 1);  // and the "stop" line
    for (std::size_t index = 0; index < expected.size(); ++index) {
        EXPECT_EQ(lines[index], expected[index]);
    }
    EXPECT_NE(lines.back().find(" stop"), std::string::npos);
}

TEST(Logger32StandInQuoting, EscapesQuotesBackslashesAndBytesOutsidePrintableAscii) {
    struct Row {
        std::string bytes;
        std::string quoted;
    };
    const Row rows[] = {
        {"", R"("")"},
        {"<EOR>", R"("<EOR>")"},
        {"a\"b", R"("a\"b")"},
        {"a\\b", R"("a\\b")"},
        {" ~", R"(" ~")"},
        {std::string("\x1F\x7F", 2), R"("\x1F\x7F")"},
        {"\xE9\xFF", R"("\xE9\xFF")"},
        {std::string("a\0b", 3), R"("a\x00b")"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(standin::QuotedBytes(row.bytes), row.quoted);
    }
}

TEST(Logger32StandInHandles, WidenWithSignExtensionAndNarrowBack) {
    struct Row {
        std::int32_t parameter;
        std::intptr_t handle;
    };
    const Row rows[] = {
        {0, 0},
        {0x00010064, 0x00010064},
        {0x7FFFFFFF, 0x7FFFFFFF},
        {-1, -1},
        {static_cast<std::int32_t>(0x80001234u), static_cast<std::intptr_t>(-0x7FFFEDCC)},
    };
    for (const Row& row : rows) {
        const HWND window = standin::WindowFromParameter(row.parameter);
        EXPECT_EQ(reinterpret_cast<std::intptr_t>(window), row.handle) << row.parameter;
        EXPECT_EQ(standin::ParameterFromWindow(window), row.parameter);
    }
}

}  // namespace
}  // namespace pontara
