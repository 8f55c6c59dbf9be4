// MixW's client side (the automation object by late binding, the DDE links) against the MixW
// stand-in: on a thread of its own, so that COM marshals every call and DDE travels as posted
// messages between two threads, and once as MixWSim.exe in another process.

#include <gtest/gtest.h>
#include <windows.h>
// These need the types of windows.h.
#include <ddeml.h>
#include <objbase.h>

#include <algorithm>
#include <cwchar>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "MixWSimWindow.h"
#include "MixWStandIn.h"
#include "StandInThread.h"
#include "bridge/ForwardedFields.h"
#include "mixw/DdeClient_win.h"
#include "mixw/DispatchMixW_win.h"
#include "mixw/MixWAutomation.h"
#include "platform/PlatformError.h"
#include "station/Harness.h"
#include "station/TestCase.h"
#include "ui/WindowModel.h"
#include "win32/ScopedCom_win.h"
#include "win32/WinError_win.h"
#include "win32/WinUtil_win.h"

namespace pontara {
namespace {

using harness::FailOnAdviseFailure;
using harness::PumpUntil;
using standin::MixWStandIn;
using standin::QsoValue;
using standin::StandInThread;
using namespace std::chrono_literals;

// The test thread as Pontara's user-interface thread: a single-threaded apartment.

std::vector<std::string> Matching(const std::vector<std::string>& events, std::string_view start) {
    std::vector<std::string> found;
    for (const std::string& event : events) {
        if (event.starts_with(start)) {
            found.push_back(event);
        }
    }
    return found;
}

std::optional<PlatformError> ErrorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const PlatformError& error) {
        return error;
    }
    return std::nullopt;
}

// ----- Attaching -----

TEST(MixWAttach, GivesNoneWhenTheMixWClassIsNotRegistered) {
    const ScopedComApartment apartment;
    ASSERT_TRUE(apartment.Entered());
    LSTATUS removed = RegDeleteTreeW(HKEY_CLASSES_ROOT, Wide(Text(mixw::ProgId)));
    ASSERT_TRUE(removed == ERROR_SUCCESS || removed == ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(AttachRunningMixW(), nullptr);
}

TEST(MixWAttach, GivesNoneWhenMixWHasGoneAndLeftItsClassRegistered) {
    const ScopedComApartment apartment;
    ASSERT_TRUE(apartment.Entered());
    { StandInThread started; }
    EXPECT_EQ(AttachRunningMixW(), nullptr);
}

TEST(MixWAttach, FindsTheRunningMixW) {
    const ScopedComApartment apartment;
    ASSERT_TRUE(apartment.Entered());
    StandInThread mixw;
    EXPECT_NE(AttachRunningMixW(), nullptr);
}

// ----- Automation members -----

class MixWAutomationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        client_ = AttachRunningMixW();
        ASSERT_NE(client_, nullptr);
    }
    std::vector<std::string> Events() const { return mixw_.Log()->Events(); }

    ScopedComApartment apartment_;
    StandInThread mixw_;
    std::unique_ptr<MixWAutomation> client_;
};

TEST_F(MixWAutomationTest, GetQsoDataPassesTheIndexAsA16BitInteger) {
    client_->GetQsoData(19);
    client_->GetQsoData(13);
    EXPECT_EQ(Matching(Events(), "call"),
              (std::vector<std::string>{"call GetQsoData(I2 19)", "call GetQsoData(I2 13)"}));
}

TEST_F(MixWAutomationTest, GetQsoDataTurnsWhateverMixWGivesIntoText) {
    wchar_t separator[8] = {};
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8);
    const Text point = FromWide(separator, wcslen(separator));
    struct Row {
        QsoValue value;
        Text expected;
    };
    const std::vector<Row> rows{
        {Text(u"JO62QM"), u"JO62QM"},       {Text(u""), u""},
        {standin::NoValue{}, u""},          {standin::NullValue{}, u""},
        {14070.5, u"14070" + point + u"5"}, {-3.0, u"-3"},
    };
    for (const Row& row : rows) {
        mixw_.Run([&](MixWStandIn& standIn) { standIn.SetQsoData(19, row.value); });
        EXPECT_EQ(client_->GetQsoData(19), row.expected);
    }
}

TEST_F(MixWAutomationTest, SetQsoDataPassesTheTextByReference) {
    Text call = u"DL1ABC";
    client_->SetQsoData(0, call);
    EXPECT_EQ(call, u"DL1ABC");
    EXPECT_EQ(Matching(Events(), "call"),
              (std::vector<std::string>{R"(call SetQsoData(I2 0, BSTR|BYREF "DL1ABC"))"}));
    Text stored;
    mixw_.Run([&](MixWStandIn& standIn) { stored = standIn.Item(u"QSO", u"Call"); });
    EXPECT_EQ(stored, u"DL1ABC");
}

TEST_F(MixWAutomationTest, SetQsoDataTakesBackWhatMixWLeavesInTheText) {
    mixw_.Run([](MixWStandIn& standIn) { standIn.ReplyToSetQsoData(u"DL1ABC/P"); });
    Text call = u"DL1ABC";
    client_->SetQsoData(0, call);
    EXPECT_EQ(call, u"DL1ABC/P");
}

TEST_F(MixWAutomationTest, ExecuteMacrosPassesTheMacroAsText) {
    client_->ExecuteMacros(u"<ZFQ:14070.5>");
    client_->ExecuteMacros(u"<TOGGLECATPORT>");
    EXPECT_EQ(Matching(Events(), "call"),
              (std::vector<std::string>{R"(call ExecuteMacros(BSTR "<ZFQ:14070.5>"))",
                                        R"(call ExecuteMacros(BSTR "<TOGGLECATPORT>"))"}));
}

TEST_F(MixWAutomationTest, FrequenciesAreReadInHertzWhetherPropertiesOrMethods) {
    struct Row {
        double fqA;
        double audioFq;
    };
    for (bool methods : {false, true}) {
        mixw_.Run([&](MixWStandIn& standIn) { standIn.DeclareFrequencyAsMethods(methods); });
        for (const Row& row : {Row{14070000.0, 1500.0}, Row{0.0, 0.0}, Row{10489550000.5, -2.25}}) {
            mixw_.Run([&](MixWStandIn& standIn) { standIn.SetFrequency(row.fqA, row.audioFq); });
            EXPECT_EQ(client_->FqA(), row.fqA) << "methods " << methods;
            EXPECT_EQ(client_->AudioFq(), row.audioFq) << "methods " << methods;
        }
    }
    EXPECT_EQ(Matching(Events(), "get").size(), 6u);
    EXPECT_EQ(Matching(Events(), "get FqA").size(), 3u);
    EXPECT_EQ(Matching(Events(), "call FqA()").size(), 3u);
    EXPECT_EQ(Matching(Events(), "call AudioFq()").size(), 3u);
}

TEST_F(MixWAutomationTest, FailingMemberRaisesAnErrorNamingTheCallWithMixWsDescription) {
    using mixw::Member;
    struct Row {
        Member member;
        std::function<void(MixWAutomation&)> call;
        const char16_t* attempted;
    };
    const std::vector<Row> rows{
        {Member::ExecuteMacros,
         [](MixWAutomation& mixw) { mixw.ExecuteMacros(u"<TOGGLECATPORT>"); },
         u"MixW's ExecuteMacros(\"<TOGGLECATPORT>\")"},
        {Member::GetQsoData, [](MixWAutomation& mixw) { mixw.GetQsoData(13); },
         u"MixW's GetQsoData(13)"},
        {Member::SetQsoData,
         [](MixWAutomation& mixw) {
             Text name = u"Hans";
             mixw.SetQsoData(1, name);
         },
         u"MixW's SetQsoData(1, \"Hans\")"},
        {Member::FqA, [](MixWAutomation& mixw) { mixw.FqA(); }, u"MixW's FqA"},
        {Member::AudioFq, [](MixWAutomation& mixw) { mixw.AudioFq(); }, u"MixW's AudioFq"},
    };
    for (const Row& row : rows) {
        const TextView member = mixw::MemberName(row.member);
        SCOPED_TRACE(AsciiOf(member));
        const Text description = u"Port COM3 is busy (" + Text(member) + u")";
        mixw_.Run([&](MixWStandIn& standIn) { standIn.FailMember(member, true, description); });
        std::optional<PlatformError> error = ErrorOf([&] { row.call(*client_); });
        mixw_.Run([&](MixWStandIn& standIn) { standIn.FailMember(member, false); });
        ASSERT_TRUE(error.has_value());
        EXPECT_EQ(error->Attempted(), row.attempted);
        EXPECT_EQ(error->SystemMessage(), description);
        EXPECT_EQ(error->Code(), static_cast<std::uint32_t>(standin::kFailureCode));
    }
}

TEST(MixWGone, CallAfterMixWHasGoneRaisesAnErrorNamingTheCall) {
    const ScopedComApartment apartment;
    ASSERT_TRUE(apartment.Entered());
    auto mixw = std::make_unique<StandInThread>();
    std::unique_ptr<MixWAutomation> client = AttachRunningMixW();
    ASSERT_NE(client, nullptr);
    mixw.reset();
    std::optional<PlatformError> error = ErrorOf([&] { client->FqA(); });
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->Attempted(), u"MixW's FqA");
    EXPECT_TRUE(FAILED(static_cast<HRESULT>(error->Code())));
    EXPECT_FALSE(error->SystemMessage().empty());
}

// ----- DDE links -----

class MixWDdeTest : public ::testing::Test {
  protected:
    std::vector<std::string> Events() const { return mixw_.Log()->Events(); }
    void SetItem(const char16_t* topic, const char16_t* item, const char16_t* value) {
        mixw_.Run([&](MixWStandIn& standIn) { standIn.SetItem(topic, item, value); });
    }
    // Opens a link whose values are collected in `values`.
    void Open(std::u16string_view service, std::u16string_view topic, std::u16string_view item,
              std::vector<Text>& values) {
        client_.OpenAutomaticLink(service, topic, item,
                                  [&values](const Text& value) { values.push_back(value); });
    }

    ScopedComApartment apartment_;
    StandInThread mixw_;
    DdeClient client_{FailOnAdviseFailure};
};

TEST_F(MixWDdeTest, LinkHandsOverTheCurrentValueBeforeOpeningReturns) {
    SetItem(u"QSO", u"Call", u"DL1ABC");
    std::vector<Text> values;
    Open(u"MixW", u"QSO", u"Call", values);
    EXPECT_EQ(values, std::vector<Text>{u"DL1ABC"});
    EXPECT_EQ(
        Matching(Events(), "dde-"),
        (std::vector<std::string>{R"(dde-connect "MixW" "QSO")", R"(dde-advstart "QSO" "Call")",
                                  R"(dde-request "QSO" "Call")"}));
}

TEST_F(MixWDdeTest, ItemWithoutAValueYetOpensItsLinkAndGetsTheFirstValueMixWSets) {
    mixw_.Run([](MixWStandIn& standIn) { standIn.ForgetItemValue(u"QSO", u"RstRcv"); });
    std::vector<Text> values;
    Open(u"MixW", u"QSO", u"RstRcv", values);
    EXPECT_TRUE(values.empty());
    // The conversation goes on serving the next link.
    std::vector<Text> calls;
    SetItem(u"QSO", u"Call", u"DL1ABC");
    Open(u"MixW", u"QSO", u"Call", calls);
    EXPECT_EQ(calls, std::vector<Text>{u"DL1ABC"});
    SetItem(u"QSO", u"RstRcv", u"579");
    ASSERT_TRUE(PumpUntil([&] { return values.size() == 1; }, 5s));
    EXPECT_EQ(values.back(), u"579");
}

TEST_F(MixWDdeTest, LaterChangeOfTheItemReachesTheLink) {
    std::vector<Text> values;
    Open(u"MixW", u"QSO", u"Call", values);
    SetItem(u"QSO", u"Call", u"UA3XYZ");
    ASSERT_TRUE(PumpUntil([&] { return values.size() == 2; }, 5s));
    EXPECT_EQ(values.back(), u"UA3XYZ");
    SetItem(u"QSO", u"Call", u"");
    ASSERT_TRUE(PumpUntil([&] { return values.size() == 3; }, 5s));
    EXPECT_EQ(values.back(), u"");
}

TEST_F(MixWDdeTest, TimeInCapitalsSharesTheConversationOfQso) {
    std::vector<Text> calls;
    std::vector<Text> times;
    Open(u"MixW", u"QSO", u"Call", calls);
    Open(u"MIXW", u"QSO", u"time", times);
    EXPECT_EQ(Matching(Events(), "dde-connect").size(), 1u);

    SetItem(u"QSO", u"time", u"1234");
    ASSERT_TRUE(PumpUntil([&] { return times.size() == 2; }, 5s));
    EXPECT_EQ(times.back(), u"1234");
    EXPECT_EQ(calls.size(), 1u);
}

TEST_F(MixWDdeTest, TheFieldLinksOpenOneAfterAnother) {
    // The fields' own links, opened back to back as the first tick does: each request is
    // followed at once by the next link's transactions on the same conversation.
    const auto& linked = bridge::ForwardedFields;
    auto name = [](const bridge::ForwardedField& row) {
        return Text(window_model::Of(row.field).name);
    };
    mixw_.Run([&](MixWStandIn& standIn) {
        for (const bridge::ForwardedField& row : linked) {
            standIn.SetItem(row.link.Topic(), row.link.item, u"value of " + name(row));
        }
    });
    std::vector<std::vector<Text>> values(linked.size());
    for (std::size_t index = 0; index < linked.size(); ++index) {
        const mixw::DdeLink& link = linked[index].link;
        Open(link.Service(), link.Topic(), link.item, values[index]);
        EXPECT_EQ(values[index], std::vector<Text>{u"value of " + name(linked[index])});
    }
    EXPECT_EQ(
        Matching(Events(), "dde-connect"),
        (std::vector<std::string>{R"(dde-connect "MixW" "QSO")", R"(dde-connect "MixW" "CAT")"}));
}

TEST_F(MixWDdeTest, NameInTheSystemsCodePageArrivesAsTheSameText) {
    // A name outside ASCII that the system's ANSI code page can carry.
    Text name;
    switch (GetACP()) {
        case 1251:
            name = u"\u042E\u0440\u0438\u0439";  // Yuriy
            break;
        case 1252:
            name = u"J\u00FCrgen";
            break;
        default:
            GTEST_SKIP() << "no name chosen for code page " << GetACP();
    }
    SetItem(u"QSO", u"Name", name.c_str());
    std::vector<Text> values;
    Open(u"MixW", u"QSO", u"Name", values);
    EXPECT_EQ(values, std::vector<Text>{name});
}

TEST_F(MixWDdeTest, LinkThatMixWDoesNotServeRaisesAnErrorNamingIt) {
    struct Row {
        const char16_t* service;
        const char16_t* topic;
        const char16_t* item;
        const char16_t* attempted;
        UINT code;
    };
    const std::vector<Row> rows{
        {u"MixW", u"QSO", u"Bogus", u"Opening the DDE link to \"Bogus\" of MixW|QSO",
         DMLERR_NOTPROCESSED},
        {u"MixW", u"LOG", u"Call", u"Opening the DDE link to \"Call\" of MixW|LOG",
         DMLERR_NO_CONV_ESTABLISHED},
        {u"MixW3", u"QSO", u"Call", u"Opening the DDE link to \"Call\" of MixW3|QSO",
         DMLERR_NO_CONV_ESTABLISHED},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(AsciiOf(row.attempted));
        std::vector<Text> values;
        std::optional<PlatformError> error =
            ErrorOf([&] { Open(row.service, row.topic, row.item, values); });
        ASSERT_TRUE(error.has_value());
        EXPECT_EQ(error->Attempted(), row.attempted);
        EXPECT_EQ(error->Code(), row.code);
        EXPECT_FALSE(error->SystemMessage().empty());
        EXPECT_TRUE(values.empty());
    }
}

TEST_F(MixWDdeTest, RefusedItemLeavesTheConversationUsable) {
    std::vector<Text> refused;
    EXPECT_TRUE(ErrorOf([&] { Open(u"MixW", u"QSO", u"Bogus", refused); }).has_value());
    std::vector<Text> calls;
    Open(u"MixW", u"QSO", u"Call", calls);
    SetItem(u"QSO", u"Call", u"DL1ABC");
    ASSERT_TRUE(PumpUntil([&] { return calls.size() == 2; }, 5s));
    EXPECT_EQ(calls.back(), u"DL1ABC");
    EXPECT_TRUE(refused.empty());
}

// ----- MixW in another process -----

// MixWSim.exe's window, found by its class among the windows of one process.
HWND SimWindowOf(DWORD processId) {
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, standin::window::kClassName, nullptr))) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId) {
            return window;
        }
    }
    return nullptr;
}

std::vector<std::string> FileLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream file(path);
    for (std::string line; std::getline(file, line);) {
        lines.push_back(line.substr(line.find(' ') + 1));
    }
    return lines;
}

TEST(MixWInAnotherProcess, AnswersAutomationAndDdeLikeTheStandInInProcess) {
    const ScopedComApartment apartment;
    ASSERT_TRUE(apartment.Entered());
    const std::string transcript = harness::ArtifactPath("MixWClient-transcript.txt");
    DeleteFileA(transcript.c_str());
    harness::ChildProcess sim =
        harness::ChildProcess::Start(harness::ProgramPath("MixWSim.exe"),
                                     "--transcript \"" + transcript + "\" --fail " +
                                         AsciiOf(mixw::MemberName(mixw::Member::ExecuteMacros)));

    std::unique_ptr<MixWAutomation> mixw;
    ASSERT_TRUE(PumpUntil([&] { return (mixw = AttachRunningMixW()) != nullptr; }, 15s));
    EXPECT_EQ(mixw->FqA(), 14070000.0);
    EXPECT_EQ(mixw->AudioFq(), 1500.0);
    Text call = u"DL1ABC";
    mixw->SetQsoData(0, call);
    EXPECT_EQ(mixw->GetQsoData(0), u"DL1ABC");
    std::optional<PlatformError> error = ErrorOf([&] { mixw->ExecuteMacros(u"<SAVEQSO>"); });
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->Attempted(), u"MixW's ExecuteMacros(\"<SAVEQSO>\")");
    EXPECT_EQ(error->SystemMessage(), u"ExecuteMacros failed in the MixW stand-in");

    // SetQsoData(0) wrote MixW's call, which its DDE item "Call" serves as well.
    DdeClient dde(FailOnAdviseFailure);
    std::vector<Text> calls;
    dde.OpenAutomaticLink(u"MIXW", u"qso", u"CALL",
                          [&calls](const Text& value) { calls.push_back(value); });
    EXPECT_EQ(calls, std::vector<Text>{u"DL1ABC"});

    // A change made by hand in the stand-in's window.
    HWND window = SimWindowOf(sim.Id());
    ASSERT_NE(window, nullptr);
    SendMessageW(GetDlgItem(window, standin::window::kItemBox), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(L"call"));
    SendMessageW(GetDlgItem(window, standin::window::kValueBox), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(L"UA3XYZ"));
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(standin::window::kSetButton, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, standin::window::kSetButton)));
    ASSERT_TRUE(PumpUntil([&] { return calls.size() == 2; }, 5s));
    EXPECT_EQ(calls.back(), u"UA3XYZ");

    EXPECT_EQ(
        FileLines(transcript),
        (std::vector<std::string>{
            "get FqA",
            "get AudioFq",
            R"(call SetQsoData(I2 0, BSTR|BYREF "DL1ABC"))",
            "call GetQsoData(I2 0)",
            R"(call ExecuteMacros(BSTR "<SAVEQSO>") raised "ExecuteMacros failed in the MixW stand-in")",
            R"(dde-connect "MixW" "QSO")",
            R"(dde-advstart "QSO" "Call")",
            R"(dde-request "QSO" "Call")",
        }));

    mixw.reset();
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(sim.WaitForExit(10s), std::optional<DWORD>(0));
}

}  // namespace
}  // namespace pontara
