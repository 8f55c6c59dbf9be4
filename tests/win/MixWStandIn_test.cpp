// The MixW stand-in itself: the client tests and the end-to-end tests trust what it records
// and how strictly it answers, so both are checked here.

#include <gtest/gtest.h>
#include <windows.h>
// These need the types of windows.h.
#include <objbase.h>
#include <oleauto.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "MixWStandIn.h"
#include "StandInThread.h"
#include "mixw/DdeClient_win.h"
#include "mixw/MixWAutomation.h"
#include "station/Harness.h"
#include "station/TestCase.h"
#include "win32/ScopedCom_win.h"
#include "win32/WinUtil_win.h"

namespace pontara {
namespace {

using harness::FailOnAdviseFailure;
using harness::PumpUntil;
using standin::MixWStandIn;
using standin::StandInThread;
using namespace std::chrono_literals;

// The stand-in's object as a raw IDispatch, to make calls the real client never makes.
ComPtr<IDispatch> RunningObject() {
    CLSID classId{};
    ComPtr<IUnknown> running;
    ComPtr<IDispatch> object;
    if (SUCCEEDED(CLSIDFromProgID(Wide(Text(mixw::ProgId)), &classId)) &&
        SUCCEEDED(GetActiveObject(classId, nullptr, running.Put()))) {
        running->QueryInterface(IID_IDispatch, object.PutVoid());
    }
    return object;
}

HRESULT CallByName(IDispatch& object, const Text& member, WORD kind,
                   std::vector<VARIANT> argumentsLastFirst) {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR name = const_cast<LPOLESTR>(Wide(member));
    HRESULT found = object.GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(found)) {
        return found;
    }
    DISPPARAMS parameters{argumentsLastFirst.data(), nullptr,
                          static_cast<UINT>(argumentsLastFirst.size()), 0};
    ScopedVariant result;
    EXCEPINFO exception{};
    UINT argumentInError = 0;
    return object.Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, kind, &parameters, result.Put(),
                         &exception, &argumentInError);
}

TEST(MixWStandIn, RefusesCallsThatMixWsOwnObjectWouldRefuse) {
    const ScopedComApartment apartment;
    ASSERT_TRUE(apartment.Entered());
    StandInThread mixw;
    ComPtr<IDispatch> object = RunningObject();
    ASSERT_TRUE(object);
    ScopedBstr text(u"DL1ABC");
    VARIANT index{};
    index.vt = VT_I2;
    index.iVal = 0;
    VARIANT byValue{};
    byValue.vt = VT_BSTR;
    byValue.bstrVal = text.Get();

    struct Row {
        Text member;
        WORD kind;
        std::vector<VARIANT> arguments;
        HRESULT expected;
    };
    auto name = [](mixw::Member member) { return Text(mixw::MemberName(member)); };
    const std::vector<Row> rows{
        {name(mixw::Member::SetQsoData), DISPATCH_METHOD, {byValue, index}, DISP_E_TYPEMISMATCH},
        {name(mixw::Member::SetQsoData), DISPATCH_METHOD, {index}, DISP_E_BADPARAMCOUNT},
        {name(mixw::Member::GetQsoData), DISPATCH_METHOD, {byValue}, DISP_E_TYPEMISMATCH},
        {name(mixw::Member::FqA), DISPATCH_METHOD, {}, DISP_E_MEMBERNOTFOUND},
        {name(mixw::Member::ExecuteMacros), DISPATCH_PROPERTYGET, {byValue}, DISP_E_MEMBERNOTFOUND},
        {u"SaveQso", DISPATCH_METHOD, {}, DISP_E_UNKNOWNNAME},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(CallByName(*object.Get(), row.member, row.kind, row.arguments), row.expected)
            << AsciiOf(row.member);
    }
    EXPECT_EQ(mixw.Log()->Events(),
              (std::vector<std::string>{
                  R"(call SetQsoData(I2 0, BSTR "DL1ABC") refused 0x80020005)",
                  R"(call SetQsoData(I2 0) refused 0x8002000E)",
                  R"(call GetQsoData(BSTR "DL1ABC") refused 0x80020005)",
                  "get FqA refused 0x80020003",
                  R"(call ExecuteMacros(BSTR "DL1ABC") refused 0x80020003)",
                  R"(lookup "SaveQso" unknown)",
              }));
}

TEST(MixWStandIn, TranscriptLinesAreMillisecondsEventDetailsInMemoryAndInTheFile) {
    const ScopedComApartment apartment;
    ASSERT_TRUE(apartment.Entered());
    const std::string path = harness::ArtifactPath("MixWStandIn-transcript.txt");
    DeleteFileA(path.c_str());
    {
        StandInThread mixw(std::make_shared<standin::Transcript>(path));
        DdeClient client(FailOnAdviseFailure);
        client.OpenAutomaticLink(u"MixW", u"CAT", u"khz", [](const Text&) {});
        std::vector<std::string> lines = mixw.Log()->Lines();
        ASSERT_EQ(lines.size(), 3u);
        std::ifstream file(path);
        std::vector<std::string> written;
        for (std::string line; std::getline(file, line);) {
            written.push_back(line);
        }
        EXPECT_EQ(written, lines);
        const std::regex format(R"((\d+) (\S+) (.*))");
        long previous = 0;
        for (const std::string& line : lines) {
            std::smatch parts;
            ASSERT_TRUE(std::regex_match(line, parts, format)) << line;
            long milliseconds = std::stol(parts[1]);
            EXPECT_GE(milliseconds, previous) << line;
            previous = milliseconds;
        }
    }
}

TEST(MixWStandIn, QuotesTextsWithEscapesSoThatEveryLineIsAscii) {
    EXPECT_EQ(standin::Quoted(u"<ZFQ:14070>"), R"("<ZFQ:14070>")");
    EXPECT_EQ(standin::Quoted(u"a\"b\\c"), R"("a\"b\\c")");
    EXPECT_EQ(standin::Quoted(u"J\u00FCrgen\r\n"), R"("J\u00FCrgen\u000D\u000A")");
    EXPECT_EQ(standin::Quoted(u""), R"("")");
}

TEST(MixWStandIn, WritesTextsForPeopleInUtf8AndForLiteralsWithUnitEscapes) {
    // "Jürgen", "Юрий" and a clef outside the BMP (a surrogate pair), then a lone surrogate.
    const Text text = u"J\u00FCrgen \u042E\u0440\u0438\u0439 \U0001D11E \xD800";
    EXPECT_EQ(standin::Utf8Of(text),
              "J\xC3\xBCrgen \xD0\xAE\xD1\x80\xD0\xB8\xD0\xB9 \xF0\x9D\x84\x9E \xEF\xBF\xBD");
    EXPECT_EQ(standin::EscapedOf(text),
              R"(J\u00FCrgen \u042E\u0440\u0438\u0439 \uD834\uDD1E \uD800)");
}

// A client in a child process of this test program, for the test below: it opens a link to
// the stand-in, says so through a named event, and waits to be killed.
constexpr char kClientToKill[] = "PONTARA_MIXW_CLIENT_TO_KILL";

std::wstring ReadyEventName(const std::string& parent) {
    return L"PontaraMixWClientReady-" + std::wstring(parent.begin(), parent.end());
}

TEST(MixWStandInKilledClient, ChildHalfOpensALinkAndWaits) {
    const char* parent = std::getenv(kClientToKill);
    if (parent == nullptr) {
        GTEST_SKIP() << "runs only as the child of KeepsAdvisingLiveLinksAfterAClientWasKilled";
    }
    DdeClient client(FailOnAdviseFailure);
    client.OpenAutomaticLink(u"MixW", u"QSO", u"Call", [](const Text&) {});
    HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, ReadyEventName(parent).c_str());
    ASSERT_NE(ready, nullptr);
    SetEvent(ready);
    CloseHandle(ready);
    harness::PumpFor(60s);
}

TEST(MixWStandInKilledClient, KeepsAdvisingLiveLinksAfterAClientWasKilled) {
    const ScopedComApartment apartment;
    ASSERT_TRUE(apartment.Entered());
    StandInThread mixw;
    const std::string self = std::to_string(GetCurrentProcessId());
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, ReadyEventName(self).c_str());
    ASSERT_NE(ready, nullptr);
    char program[MAX_PATH * 4] = {};
    GetModuleFileNameA(nullptr, program, sizeof program);
    SetEnvironmentVariableA(kClientToKill, self.c_str());
    harness::ChildProcess killed = harness::ChildProcess::Start(
        program, "--gtest_filter=MixWStandInKilledClient.ChildHalfOpensALinkAndWaits");
    SetEnvironmentVariableA(kClientToKill, nullptr);
    bool opened = PumpUntil([&] { return WaitForSingleObject(ready, 0) == WAIT_OBJECT_0; }, 15s);
    CloseHandle(ready);
    ASSERT_TRUE(opened);
    killed.Kill();

    DdeClient live(FailOnAdviseFailure);
    std::vector<Text> calls;
    live.OpenAutomaticLink(u"MixW", u"QSO", u"Call",
                           [&calls](const Text& value) { calls.push_back(value); });
    mixw.Run([](MixWStandIn& standIn) { standIn.SetItem(u"QSO", u"Call", u"DL1ABC"); });
    ASSERT_TRUE(PumpUntil([&] { return calls.size() == 2; }, 5s));
    EXPECT_EQ(calls.back(), u"DL1ABC");
    std::vector<std::string> events = mixw.Log()->Events();
    EXPECT_NE(std::find(events.begin(), events.end(), R"(dde-client-gone "QSO")"), events.end());
}

}  // namespace
}  // namespace pontara
