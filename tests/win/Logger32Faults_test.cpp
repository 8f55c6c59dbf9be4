// The real Pontara.exe when Logger32 misbehaves: holding a text command for seconds while the
// operator goes on in MixW and clicks a spot, hanging for longer than Pontara waits on a send
// while the operator saves a QSO in MixW, and floods of dial reports (code 100) and of writes
// into Sent. Each in a short form that shows the order and content of what reaches the peers;
// the long run is scripts/soak's.

#include <gtest/gtest.h>
#include <windows.h>
// These need the types of windows.h.

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "Logger32StandIn.h"
#include "MixWStandIn.h"
#include "StandInThread.h"
#include "logger32/Logger32Protocol.h"
#include "mixw/MixWAutomation.h"
#include "station/Harness.h"
#include "station/TestCase.h"
#include "station/Traffic.h"
#include "station/WineStation.h"
#include "support/ExpectedRecord.h"

namespace pontara {
namespace {

using namespace harness;
using namespace std::chrono_literals;
using station::Event;
using station::Kind;
using Lines = std::vector<std::string>;

// The Logger32 stand-in on a thread of its own, so that its text window can hold a command
// while the test thread goes on looking at Pontara and writing into its Sent field.
class Logger32OnThread {
  public:
    explicit Logger32OnThread(station::Traffic& traffic)
        : apartment_([this, &traffic] {
              standIn_ = std::make_unique<standin::Logger32StandIn>();
              traffic.FollowLogger32(*standIn_);
          }) {}
    ~Logger32OnThread() {
        apartment_.Run([this] { standIn_.reset(); });
    }

    standin::Logger32StandIn& StandIn() { return *standIn_; }

  private:
    std::unique_ptr<standin::Logger32StandIn> standIn_;  // made and ended on the apartment's thread
    standin::StandInApartment apartment_;
};

// Logger32 busy inside a text command: its handling of the first command that contains `part`
// holds it for `hold` before it returns, and Pontara waits in its delivery meanwhile.
class HeldCommand {
  public:
    HeldCommand(std::string part, std::chrono::milliseconds hold)
        : part_(std::move(part)), hold_(hold) {}
    // Logger32's handler, on its own thread.
    void Handle(const std::string& text) {
        if (heldAt_ == 0 && text.find(part_) != std::string::npos) {
            heldAt_ = std::chrono::steady_clock::now().time_since_epoch().count();
            Sleep(static_cast<DWORD>(hold_.count()));
            releasedAt_ = std::chrono::steady_clock::now().time_since_epoch().count();
        }
    }
    bool Holding() const { return heldAt_ != 0 && releasedAt_ == 0; }
    bool Released() const { return releasedAt_ != 0; }
    // When the hold began and ended, in the traffic's seconds.
    double HeldAt(const station::Traffic& traffic) const { return Seconds(traffic, heldAt_); }
    double ReleasedAt(const station::Traffic& traffic) const {
        return Seconds(traffic, releasedAt_);
    }

  private:
    using Ticks = std::chrono::steady_clock::rep;
    static double Seconds(const station::Traffic& traffic, Ticks ticks) {
        return traffic.Seconds(
            std::chrono::steady_clock::time_point(std::chrono::steady_clock::duration(ticks)));
    }

    const std::string part_;
    const std::chrono::milliseconds hold_;
    std::atomic<Ticks> heldAt_ = 0;
    std::atomic<Ticks> releasedAt_ = 0;
};

bool IsMixWCall(const Event& event) {
    return event.kind == Kind::Call || event.kind == Kind::Get;
}

std::vector<std::string> TextsOf(const std::vector<const Event*>& events) {
    std::vector<std::string> texts;
    for (const Event* event : events) {
        texts.push_back(event->text);
    }
    return texts;
}

// Pontara waits in its delivery while Logger32 holds the command: on Windows as under Wine, a
// thread inside SendMessage to another thread takes the messages sent to it (the write into
// Sent) but no posted ones and no timers, so Timer2 and Timer3 wait until the hold ends.
TEST(Logger32Blocked, WhatChangesWhileLogger32HoldsATextCommandFollowsItAndMixWWaitsMeanwhile) {
    WineStation station(WineStation::Options{.startLogger32 = false, .launchPontara = false});
    station::Traffic& log = station.Log();
    HeldCommand held("<NAME:7>BLOCKED", 3000ms);
    Logger32OnThread logger32(log);
    // Set before Pontara starts: the handler is read on the stand-in's thread.
    logger32.StandIn().OnTextReceived([&held](const std::string& text) { held.Handle(text); });
    station.MixW().Run([](standin::MixWStandIn& mixw) {
        mixw.SetItem(u"QSO", u"Mode", u"BPSK31");
        mixw.SetItem(u"QSO", u"Call", u"Q1ABC");
    });
    station.LaunchPontara();
    ASSERT_NE(station.WaitForEvent(0, station::TextStartsWith("<CALL:5>Q1ABC"), 30s), nullptr)
        << "Pontara does not forward";
    const std::size_t mark = log.Mark();
    station.MixWSets(u"QSO", u"Name", u"BLOCKED");
    ASSERT_TRUE(station.WaitUntil([&] { return held.Holding(); }, 10s))
        << "the record with the name never reached Logger32";
    EXPECT_TRUE(logger32.StandIn().WriteSent("<APP_DXSPOT_CLICKED:18>Q9BLK|14080.0|RTTY", 5000ms))
        << "Pontara did not take the write into Sent while it waits";
    station.MixWSets(u"QSO", u"Name", u"DURING");
    ASSERT_TRUE(station.WaitUntil([&] { return held.Released(); }, 20s));

    EXPECT_NE(station.WaitForEvent(mark, station::TextContains("<NAME:6>DURING"), 10s), nullptr);
    EXPECT_NE(station.WaitForEvent(
                  mark, station::CallIs(mixw::Member::ExecuteMacros, {"<MODE:RTTY>"}), 10s),
              nullptr);
    station.Pause(2000ms);  // whatever would come twice has come by now

    const std::vector<const Event*> texts = log.FindAll(mark, station::TextContains("<NAME:"));
    ASSERT_FALSE(texts.empty());
    EXPECT_NE(texts.front()->text.find("<NAME:7>BLOCKED"), std::string::npos)
        << texts.front()->text;
    EXPECT_EQ(log.Count(mark, station::TextContains("<NAME:7>BLOCKED")), 1u);
    EXPECT_NE(texts.back()->text.find("<NAME:6>DURING"), std::string::npos)
        << ::testing::PrintToString(TextsOf(texts));
    EXPECT_EQ(station::Accounts(log.FindAll(mark, station::ChangesMixW)),
              R"(ExecuteMacros("<ZFQ:14080.0>"), SetQsoData(0, "Q9BLK"), )"
              R"(ExecuteMacros("<MODE:RTTY>"))");
    EXPECT_EQ(log.Count(mark, station::CodeIs(logger32::ClusterWindow)), 1u);

    const double heldAt = held.HeldAt(log);
    const double releasedAt = held.ReleasedAt(log);
    const std::vector<const Event*> callsWhileHeld = log.FindAll(mark, [&](const Event& event) {
        return IsMixWCall(event) && event.seconds > heldAt && event.seconds < releasedAt;
    });
    EXPECT_EQ(station::Accounts(callsWhileHeld), "nothing");
    const std::vector<const Event*> ticksAfter = log.FindAll(mark, [&](const Event& event) {
        return station::IsTickStart(event) && event.seconds > releasedAt;
    });
    EXPECT_FALSE(ticksAfter.empty()) << "Timer2 did not tick again after the hold";
    EXPECT_TRUE(station.PontaraRunning());
    EXPECT_EQ(station.MessageBoxes(), std::vector<HWND>{});
    SaveScreenshotOnFailure();
}

// Logger32 hangs for longer than a send to it waits (SendAnswerBound, 5 s), as one busy with a
// serial port does, while MixW owns the rig, and the operator saves a QSO in MixW meanwhile.
// Windows takes a window for hung once its thread has neither called GetMessage or PeekMessage
// nor waited for input for 5 s (Microsoft's "IsHungAppWindow" and "SendMessageTimeout"), and a
// send with SMTO_ABORTIFHUNG then returns at once; Wine's server keeps the same 5 s rule, which
// IsHungAppWindow shows here. Pontara's window goes on answering, the QSO is held, and once
// Logger32 answers again it is logged once, on its own dial and mode, with its own record. The
// save's own logging is the send that gives up; under Wine a send given up on before Logger32
// took it is dropped, so Logger32 never takes it late. Microsoft's page of SendMessageTimeout
// does not say what Windows does with such a message.
TEST(Logger32Hung, PontaraAnswersMeanwhileAndTheQsoSavedIsLoggedOnceWhenLogger32AnswersAgain) {
    WineStation station(WineStation::Options{.startLogger32 = false, .launchPontara = false});
    station::Traffic& log = station.Log();
    Logger32OnThread logger32(log);
    standin::Logger32StandIn& standIn = logger32.StandIn();
    station.MixW().Run([](standin::MixWStandIn& mixw) {
        mixw.SetItem(u"QSO", u"Mode", u"BPSK31");
        mixw.SetItem(u"QSO", u"Call", u"Q1ABC");
        mixw.SetItem(u"QSO", u"time", u"1234");
    });
    station.LaunchPontara();
    ASSERT_NE(station.WaitForEvent(0, station::TextStartsWith("<CALL:5>Q1ABC"), 30s), nullptr)
        << "Pontara does not forward";
    const std::size_t mark = log.Mark();
    const std::size_t firstRecord = standIn.Log().RecordsFrom(0).size();
    auto recorded = [&](std::string_view event) {
        return std::ranges::any_of(
            standIn.Log().RecordsFrom(firstRecord),
            [&](const standin::Record& each) { return each.event == event; });
    };
    standIn.Hang(15000ms);
    ASSERT_TRUE(station.WaitUntil([&] { return recorded(standin::logger32_events::Hang); }, 5s));
    station.MixWSets(u"QSO", u"Name", u"HUNG");
    station.MixWSets(u"QSO", u"Command", u"Save");

    // Pontara's window, asked every quarter second while Logger32 hangs.
    std::chrono::milliseconds slowestAnswer{0};
    std::vector<std::string> statuses;
    bool takenForHung = false;
    while (!recorded(standin::logger32_events::HangEnd)) {
        const auto asked = std::chrono::steady_clock::now();
        const std::string status = station.FieldText(Field::Text1);
        slowestAnswer =
            std::max(slowestAnswer, std::chrono::duration_cast<std::chrono::milliseconds>(
                                        std::chrono::steady_clock::now() - asked));
        if (statuses.empty() || statuses.back() != status) {
            statuses.push_back(status);
        }
        takenForHung = takenForHung || IsHungAppWindow(standIn.Window()) != FALSE;
        station.Pause(250ms);
    }
    EXPECT_TRUE(takenForHung);
    EXPECT_LE(slowestAnswer.count(), 1000);
    EXPECT_NE(std::ranges::find(statuses, " Logger32 closed, QSOs waiting: 1 !"), statuses.end())
        << ::testing::PrintToString(statuses);

    ASSERT_NE(station.WaitForEvent(mark, station::TextStartsWith("<APP_LOGQSO:"), 20s), nullptr)
        << "the held QSO was not logged";
    station.Pause(4000ms);  // whatever would come twice has come by now
    const std::vector<const Event*> texts =
        log.FindAll(mark, [](const Event& event) { return event.kind == Kind::Text; });
    const std::vector<const Event*> loggings =
        log.FindAll(mark, station::TextStartsWith("<APP_LOGQSO:"));
    EXPECT_EQ(TextsOf(loggings),
              (Lines{expected::LogQso(
                  expected::Record<std::string>({{"CALL", "Q1ABC"}, {"NAME", "HUNG"}}) +
                  expected::Times<std::string>("1234"))}))
        << ::testing::PrintToString(TextsOf(texts));
    EXPECT_EQ(log.Count(mark, station::CodeIs(logger32::QsoLogged)), 1u);
    EXPECT_EQ(log.Count(mark, station::CodeIs(logger32::QsoLoggedFollowUp)), 1u);
    EXPECT_TRUE(station.PontaraRunning());
    EXPECT_EQ(station.MessageBoxes(), std::vector<HWND>{});
    SaveScreenshotOnFailure();
}

// Two rounds, each of a thousand dial reports as fast as Logger32 can post them and two hundred
// spots written into Sent one after another.
constexpr int DialReports = 1000;
constexpr int SpotWrites = 200;

// The spot numbered `number` as Logger32 writes it: its call "F0001" on and its frequency
// "10001.0" on, five and seven characters, so that the spot has nineteen.
std::string SpotText(int number) {
    char spot[64];
    std::snprintf(spot, sizeof spot, "<APP_DXSPOT_CLICKED:19>F%04d|%05d.0|PSK31", number,
                  10000 + number);
    return spot;
}

TEST(Logger32Flood, PontaraKeepsUpWithFloodsOfDialReportsAndSpotsAndItsMemoryStays) {
    WineStation station(WineStation::Options{.artifactName = TestName()});
    ASSERT_NE(station.MainWindow(), nullptr);
    ASSERT_TRUE(station.WaitUntilRunning()) << Listed(station.AtLogger32Since({}));
    PumpFor(2000ms);  // the start's commands are through
    const station::ProcessFigures before = station.PontaraFigures();
    const std::string cluster =
        "code 10 " +
        std::to_string(standin::ParameterFromWindow(FieldAt(station.MainWindow(), Field::Cluster)));

    struct Round {
        std::int32_t firstHertz;
        const char* lastShown;  // Freq_logger32 after the last report
        Lines lastSpot;         // what MixW is told for the round's last spot
    };
    const Round rounds[] = {
        {14100000,
         "14100.999",
         {"ExecuteMacros <ZFQ:10200.0>", "SetQsoData 0 F0200", "ExecuteMacros <MODE:BPSK31>"}},
        {14200000,
         "14200.999",
         {"ExecuteMacros <ZFQ:10400.0>", "SetQsoData 0 F0400", "ExecuteMacros <MODE:BPSK31>"}},
    };
    int spot = 0;
    for (const Round& round : rounds) {
        SCOPED_TRACE(round.lastShown);
        for (int report = 0; report < DialReports; ++report) {
            ASSERT_TRUE(station.Logger32().ReportDialFrequency(round.firstHertz + report));
        }
        EXPECT_EQ(station.WaitForFieldText(Field::Freq_logger32, round.lastShown, 30s),
                  round.lastShown);

        const WineStation::Mark mark = station.MarkNow();
        for (int write = 0; write < SpotWrites; ++write) {
            ASSERT_TRUE(station.Logger32().WriteSent(SpotText(++spot)));
        }
        const std::string lastTune = round.lastSpot.front();
        EXPECT_TRUE(PumpUntil(
            [&] {
                const Lines calls = station.MixWCallsSince(mark);
                return std::find(calls.begin(), calls.end(), lastTune) != calls.end();
            },
            30s));
        PumpFor(2000ms);  // whatever would come twice has come by now
        const Lines calls = station.MixWCallsSince(mark);
        ASSERT_GE(calls.size(), round.lastSpot.size());
        EXPECT_EQ(
            Lines(calls.end() - static_cast<std::ptrdiff_t>(round.lastSpot.size()), calls.end()),
            round.lastSpot);
        EXPECT_EQ(station.Logger32CodesSince(mark), Lines(SpotWrites, cluster));
    }
    EXPECT_TRUE(station.PontaraRunning());
    EXPECT_EQ(station.MessageBoxes(), std::vector<HWND>{});
    const station::ProcessFigures after = station.PontaraFigures();
    const auto growth =
        static_cast<std::int64_t>(after.workingSet) - static_cast<std::int64_t>(before.workingSet);
    Measure("flood_working_set_growth_bytes", growth);
    EXPECT_LT(growth, 2000000) << "before " << Megabytes(before.workingSet) << ", after "
                               << Megabytes(after.workingSet);
    SaveScreenshotOnFailure();
}

}  // namespace
}  // namespace pontara
