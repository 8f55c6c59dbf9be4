// Logger32 closing while the bridge runs and a new Logger32 coming back: noticing it under
// either owner, pausing forwarding, holding the QSOs saved meanwhile, connecting again as the
// start-up does, and what the new Logger32 receives, each once. Also the hint on the status
// line when Logger32's window does not answer, and the link between programs of different rank.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "LinkedStationTest.h"
#include "support/ExpectedRecord.h"

namespace pontara::testing {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

constexpr TextView MixWActive = u"            MixW2 control active !";
constexpr TextView Logger32Active = u"         Logger32 control active !";
constexpr TextView ClosedWaiting = u" Logger32 closed, waiting for it !";

struct Received {
    int nameNumber;
    std::uint32_t code;
    std::int32_t lParam;
    bool operator==(const Received&) const = default;
};

void PrintTo(const Received& r, std::ostream* os) {
    *os << "{name " << r.nameNumber << ", code " << r.code << ", " << r.lParam << "}";
}

class Logger32Return : public LinkedStationTest {
  protected:
    void SetUp() override {
        LaunchReadyToLog();
        station.MixWSets(u"Call", u"Q1ABC");
        station.host.RunFor(3000);  // frequency, mode and record forwarded
    }

    // What Logger32 received from `time` on.
    std::vector<Received> ReceivedSince(int time) const {
        std::vector<Received> received;
        for (const auto& message : station.host.logger32.received) {
            if (message.time >= time) {
                received.push_back({message.name, message.code, message.lParam});
            }
        }
        return received;
    }

    // Logger32 closes now and is started again `after` milliseconds later.
    int CloseAndStartAgainAfter(int after) {
        int closed = station.host.Now();
        station.host.logger32.Close();
        station.host.At(closed + after, [this] { station.host.logger32.StartAgain(); });
        return closed;
    }

    std::int32_t Main() const { return static_cast<std::int32_t>(sim::SimHost::MainWindowHandle); }
    std::int32_t Sent() const {
        return static_cast<std::int32_t>(station.host.FieldWindow(Field::Sent));
    }
};

TEST_F(Logger32Return, ClosedWhileForwardingPausesSaysSoAndLooksForLogger32Every5Seconds) {
    int closed = station.host.Now();
    station.host.logger32.Close();
    std::size_t mark = station.host.TraceMark();
    station.host.RunFor(800);  // the next Timer2 tick
    EXPECT_EQ(station.host.FieldText(Field::Text1), ClosedWaiting);
    EXPECT_FALSE(station.host.Enabled(TimerId::Timer2));
    EXPECT_TRUE(station.host.Enabled(TimerId::Timer));
    EXPECT_EQ(station.host.Interval(TimerId::Timer), 5000);
    EXPECT_EQ(station.host.BackColour(Button::Command1), 0xC000C0u);  // the owner's colour
    EXPECT_FALSE(station.host.Enabled(Button::Command1));
    station.MixWSets(u"Name", u"AWAY");
    station.host.mixw.fqA = 7000000;
    station.host.RunFor(60000);
    EXPECT_THAT(station.host.TraceSince(mark), IsEmpty());  // not a text, not a code
    EXPECT_THAT(ReceivedSince(closed), IsEmpty());
    EXPECT_EQ(station.host.FieldText(Field::Text1), ClosedWaiting);
    EXPECT_TRUE(station.host.MessageBoxes().empty());
    EXPECT_FALSE(station.host.Ended());
}

// How long Logger32 stays away, and whether it names its text window before it accepts.
struct Away {
    int milliseconds;
    bool textWindowFirst;
};

void PrintTo(const Away& away, std::ostream* os) {
    *os << away.milliseconds << " ms" << (away.textWindowFirst ? ", text window first" : "");
}

class ComesBack : public Logger32Return, public ::testing::WithParamInterface<Away> {};

TEST_P(ComesBack, TheNewLogger32IsConnectedToldTheOwnerAndSentTheCurrentQsoOnce) {
    station.host.logger32.textWindowFirst = GetParam().textWindowFirst;
    int closed = CloseAndStartAgainAfter(GetParam().milliseconds);
    station.host.RunFor(GetParam().milliseconds + 5000 + 800);  // noticed, then found
    EXPECT_THAT(ReceivedSince(closed),
                ElementsAre(Received{1, 1, Main()}, Received{1, 2, 0}, Received{1, 2, Sent()},
                            Received{1, 18, 1}, Received{1, 7, 0}, Received{1, 11, 0},
                            Received{1, 13, 0}, Received{1, 19, 0}));
    EXPECT_EQ(station.host.logger32.sentWindow, station.host.FieldWindow(Field::Sent));
    EXPECT_EQ(station.host.FieldText(Field::Text1), MixWActive);
    station.host.RunFor(3 * 800);
    EXPECT_THAT(station.TextsSince(closed),
                ElementsAre(u"<APP_FORCE_FREQ:7>14071.5", u"<APP_FORCE_MODE:4>Mode",
                            BeginsWith(u"<CALL:5>Q1ABC<RST_RCVD:")));
    station.host.RunFor(10000);
    EXPECT_EQ(station.TextsSince(closed).size(), 3u);
    EXPECT_EQ(ReceivedSince(closed).size(), 8u);
    EXPECT_TRUE(station.host.Enabled(TimerId::Timer2));
    EXPECT_FALSE(station.host.Enabled(TimerId::Timer));
    EXPECT_TRUE(station.host.MessageBoxes().empty());
}

INSTANTIATE_TEST_SUITE_P(After, ComesBack,
                         ::testing::Values(Away{500, false}, Away{60000, false}, Away{500, true}));

// Forwarding is paused while Logger32 is away: each held QSO is the one MixW shows at its Save,
// whatever was forwarded last, and is logged on its own dial and mode.
TEST_F(Logger32Return, QsosSavedWhileAwayAreLoggedEachWithItsOwnRecordDialAndModeInOrder) {
    int closed = station.host.Now();
    station.host.logger32.Close();
    station.host.mixw.qsoData = {{19, u"JO62"}, {13, u"NRW"}};
    station.MixWSets({{u"Call", u"Q2XYZ"},
                      {u"RstRcv", u"579"},
                      {u"RstSnt", u"599"},
                      {u"qth", u"Koln"},
                      {u"Name", u"Juri"},
                      {u"Notes", u"n1"},
                      {u"IOTA", u"EU-005"},
                      {u"Manager", u"Q9QSL"},
                      {u"Mode", u"BPSK31"},
                      {u"time", u"1240"},
                      {u"Command", u"Save"}});
    EXPECT_EQ(station.host.FieldText(Field::Text1), u" Logger32 closed, QSOs waiting: 1 !");
    EXPECT_EQ(station.host.FieldText(Field::TextCommand), u"Korvex_Send");
    station.host.RunFor(3000);
    station.host.mixw.fqA = 7035000;
    station.host.mixw.qsoData = {{19, u"JO31"}};
    station.MixWSets({{u"Call", u"Q3DEF"},
                      {u"qth", u"Bonn"},
                      {u"Name", u"Ann"},
                      {u"Mode", u"CW"},
                      {u"time", u"1302"},
                      {u"Command", u"Save"}});
    EXPECT_EQ(station.host.FieldText(Field::Text1), u" Logger32 closed, QSOs waiting: 2 !");
    EXPECT_THAT(station.TextsSince(closed), IsEmpty());

    station.host.logger32.StartAgain();
    std::size_t mark = station.host.TraceMark();
    for (int waited = 0; waited < 10000 && station.TextsSince(closed).empty(); waited += 100) {
        station.host.RunFor(100);
    }
    EXPECT_EQ(station.host.FieldText(Field::Text1), u"       Waiting QSOs logged: 2 !");
    station.host.RunFor(3 * 800);
    // The second QSO keeps what MixW's entry still held of the first, but its own locator and
    // no state.
    const Text firstRecord = expected::RecordWithPlaceholders<Text>({{"CALL", u"Q2XYZ"},
                                                                     {"RST_RCVD", u"579"},
                                                                     {"RST_SENT", u"599"},
                                                                     {"QTH", u"Koln"},
                                                                     {"NAME", u"Juri"},
                                                                     {"COMMENT", u"n1"},
                                                                     {"GRIDSQUARE", u"JO62"},
                                                                     {"IOTA", u"EU-005"},
                                                                     {"STATE", u"NRW"},
                                                                     {"QSL_VIA", u"Q9QSL"}});
    const Text secondRecord = expected::RecordWithPlaceholders<Text>({{"CALL", u"Q3DEF"},
                                                                      {"RST_RCVD", u"579"},
                                                                      {"RST_SENT", u"599"},
                                                                      {"QTH", u"Bonn"},
                                                                      {"NAME", u"Ann"},
                                                                      {"COMMENT", u"n1"},
                                                                      {"GRIDSQUARE", u"JO31"},
                                                                      {"IOTA", u"EU-005"},
                                                                      {"QSL_VIA", u"Q9QSL"}});
    const Text first = expected::LogQso(firstRecord + expected::Times<Text>(u"1240"));
    const Text second = expected::LogQso(secondRecord + expected::Times<Text>(u"1302"));
    const std::string sentsHandle =
        "post 2 " + std::to_string(station.host.FieldWindow(Field::Sent));
    EXPECT_THAT(station.host.TraceSince(mark),
                ElementsAre("post 1 131088", "post 2 0", sentsHandle, "post 18 1", "post 7 0",
                            "post 11 0", "post 13 0", "post 19 0", "text <APP_FORCE_FREQ:7>14071.5",
                            "text <APP_FORCE_MODE:5>PSK31", "text " + AsciiOf(first), "post 15 1",
                            "post 16 1", "text <APP_FORCE_FREQ:4>7035", "text <APP_FORCE_MODE:2>CW",
                            "text " + AsciiOf(second), "post 15 1", "post 16 1",
                            // Logger32's entry comes back to MixW's QSO.
                            "text <APP_FORCE_FREQ:4>7035", "text <APP_FORCE_MODE:2>CW",
                            "text " + AsciiOf(secondRecord)));
    station.host.RunFor(20000);
    EXPECT_EQ(station.host.FieldText(Field::Text1), MixWActive);
    EXPECT_EQ(station.host.TraceMatching("text <APP_LOGQSO").size(), 2u);
}

// A QSO held while a slow MixW answers for its dial, and meanwhile Logger32, back already, names
// its text window: the return that completes inside those calls must not leave it held.
TEST_F(Logger32Return, AQsoHeldWhileTheReturnCompletesInsideItsMixWCallsIsLoggedAtOnce) {
    station.host.logger32.Close();
    station.host.RunFor(800);
    station.host.logger32.namesTextWindow = false;
    station.host.logger32.StartAgain();
    station.host.RunFor(11000);  // found and accepted, but no text window: still away
    station.host.mixw.callTime = 1500;
    station.host.At(station.host.Now() + 100, [this] {
        station.host.SendFromLogger32(3,
                                      static_cast<std::int32_t>(station.host.logger32.textWindow));
    });
    station.MixWSets({{u"time", u"1240"}, {u"Command", u"Save"}});
    station.host.RunFor(20000);
    EXPECT_THAT(station.host.TraceMatching("text <APP_LOGQSO"),
                ElementsAre(::testing::EndsWith("<APP_TIME_OFF:4>1240")));
    EXPECT_EQ(station.host.ShutdownBlockReason(), std::nullopt);
}

TEST_F(Logger32Return, ALoggingDeliveredJustBeforeTheCloseIsNotSentAgain) {
    station.host.At(station.host.Now() + 300, [this] { station.host.logger32.Close(); });
    station.MixWSets(u"Command", u"Save");  // delivered, then Logger32 closes in the pause
    int closed = station.host.Now();
    EXPECT_EQ(station.host.TraceMatching("text <APP_LOGQSO").size(), 1u);
    station.host.RunFor(1000);
    EXPECT_EQ(station.host.FieldText(Field::Text1), ClosedWaiting);
    station.host.logger32.StartAgain();
    station.host.RunFor(10000);
    EXPECT_THAT(ReceivedSince(closed), Not(Contains(Received{1, 15, 1})));
    EXPECT_EQ(station.host.TraceMatching("text <APP_LOGQSO").size(), 1u);
    EXPECT_EQ(station.host.FieldText(Field::Text1), MixWActive);
}

TEST_F(Logger32Return, ClosingOnceItIsBackSaysGoodbyeToTheNewLogger32) {
    CloseAndStartAgainAfter(500);
    station.host.RunFor(500 + 5000 + 800);  // noticed, then found by the 5 s look
    int closing = station.host.Now();
    station.host.RequestClose();
    station.host.RunFor(0);
    EXPECT_TRUE(station.host.Ended());
    EXPECT_THAT(ReceivedSince(closing), ElementsAre(Received{1, 4, 0}, Received{1, 5, 0}));
}

TEST_F(Logger32Return, ClosedWhileLogger32OwnsTheRigIsNoticedByTimer5AndTheOwnerIsToldAgain) {
    station.host.Click(Button::Command2);
    station.host.RunFor(100);
    int closed = CloseAndStartAgainAfter(500);
    station.host.RunFor(2000);
    EXPECT_EQ(station.host.FieldText(Field::Text1), ClosedWaiting);
    EXPECT_EQ(station.host.BackColour(Button::Command2), 0xC000C0u);  // the owner's colour
    EXPECT_TRUE(station.host.Enabled(Button::Command1));
    station.host.RunFor(5000);
    EXPECT_THAT(ReceivedSince(closed),
                ElementsAre(Received{1, 1, Main()}, Received{1, 2, 0}, Received{1, 2, Sent()},
                            Received{1, 18, 0}, Received{1, 6, 0}, Received{1, 12, 0},
                            Received{1, 14, 0}, Received{1, 19, 1}));
    EXPECT_EQ(station.host.FieldText(Field::Text1), Logger32Active);
    EXPECT_FALSE(station.host.Enabled(TimerId::Timer2));
    EXPECT_THAT(station.TextsSince(closed), IsEmpty());
}

TEST_F(Logger32Return, ANewLogger32RefusingNames1To3IsConnectedUnderName4) {
    int closed = CloseAndStartAgainAfter(500);
    station.host.logger32.rejectedNames = {1, 2, 3};
    station.host.RunFor(800 + 5000 + 800);
    EXPECT_THAT(ReceivedSince(closed),
                ElementsAre(Received{1, 1, Main()}, Received{2, 1, Main()}, Received{3, 1, Main()},
                            Received{4, 1, Main()}, Received{4, 2, 0}, Received{4, 2, Sent()},
                            Received{4, 18, 1}, Received{4, 7, 0}, Received{4, 11, 0},
                            Received{4, 13, 0}, Received{4, 19, 0}));
    std::vector<int> requestTimes;
    for (const auto& message : station.host.logger32.received) {
        if (message.time >= closed && message.code == 1) {
            requestTimes.push_back(message.time);
        }
    }
    // Noticed by the Timer5 tick at 9000, found by the look 5 s later, then 200 ms apart.
    EXPECT_THAT(requestTimes, ElementsAre(14000, 14200, 14400, 14600));
    station.host.RunFor(3 * 800);
    EXPECT_EQ(station.TextsSince(closed).size(), 3u);
    EXPECT_EQ(station.host.FieldText(Field::Text1), MixWActive);
}

TEST_F(Logger32Return, ANewLogger32RefusingAllFiveNamesShowsTooBusyOnceAndPontaraWaits) {
    CloseAndStartAgainAfter(500);
    station.host.logger32.rejectedNames = {1, 2, 3, 4, 5};
    station.host.RunFor(60000);
    ASSERT_EQ(station.host.MessageBoxes().size(), 1u);
    EXPECT_EQ(station.host.MessageBoxes()[0].caption, u"Too busy");
    EXPECT_EQ(station.host.FieldText(Field::Text1), ClosedWaiting);
    EXPECT_FALSE(station.host.Enabled(TimerId::Timer2));
    EXPECT_FALSE(station.host.Ended());
}

TEST_F(Logger32Return, ClosingPontaraWhileLogger32IsAwayTellsTheGoneWindowNothing) {
    station.host.Click(Button::Command2);
    station.Settle();
    station.host.logger32.Close();
    station.host.RunFor(120000);
    std::size_t mark = station.host.TraceMark();
    station.host.RequestClose();
    station.host.RunFor(100);
    EXPECT_TRUE(station.host.Ended());
    EXPECT_THAT(station.host.TraceSince(mark),
                ElementsAre("box Please close Souncard window and CW Mashine window Logger32 and "
                            "after that press OK",
                            "macro <TOGGLECATPORT>", "macro <TOGGLEPTTPORT>", "unhook", "end"));
}

TEST_F(Logger32Return, AHandoverWhileLogger32IsAwayKeepsForwardingPausedAndSaysSo) {
    station.host.Click(Button::Command2);
    station.Settle();
    station.host.logger32.Close();
    station.host.RunFor(3000);  // noticed by the watch's tick
    ASSERT_EQ(station.host.FieldText(Field::Text1), ClosedWaiting);
    station.host.Click(Button::Command1);
    station.Settle();
    EXPECT_FALSE(station.host.Enabled(Button::Command1));
    EXPECT_EQ(station.host.FieldText(Field::Text1), ClosedWaiting);
    EXPECT_FALSE(station.host.Enabled(TimerId::Timer2));
}

// Two QSOs saved while Logger32 is away, after the dial and a mapped mode went out.
class HeldWhenClosing : public Logger32Return {
  protected:
    void SetUp() override {
        Logger32Return::SetUp();
        station.MixWSets(u"Mode", u"BPSK31");
        station.host.RunFor(3000);
        station.host.logger32.Close();
        station.MixWSets(u"Command", u"Save");
        station.host.RunFor(3000);
        station.host.mixw.fqA = 7035000;
        station.MixWSets(u"Call", u"Q2XYZ");
        station.MixWSets(u"Mode", u"CW");
        station.MixWSets(u"time", u"1240");
        station.MixWSets(u"Command", u"Save");
        station.host.RunFor(3000);
        ASSERT_EQ(station.host.FieldText(Field::Text1), u" Logger32 closed, QSOs waiting: 2 !");
    }

    std::vector<std::string> Loggings() const {
        return station.host.TraceMatching("text <APP_LOGQSO");
    }
};

TEST_F(HeldWhenClosing, ClosingAsksFirstNamingEachQsoAndNoKeepsThemForTheLogger32ThatComesBack) {
    station.host.RequestClose();
    station.Settle();
    ASSERT_EQ(station.host.MessageBoxes().size(), 1u);
    EXPECT_EQ(station.host.MessageBoxes()[0].caption, u"Pontara");
    EXPECT_EQ(station.host.MessageBoxes()[0].text,
              u"Logger32 is closed. 2 QSOs saved in MixW since then did not reach its log:\n\n"
              u"Q1ABC   1234   14071.5 kHz   PSK31\n"
              u"Q2XYZ   1240   7035 kHz   CW\n"
              u"\nClose Pontara and lose them? Log them in Logger32 by hand if you do.\n"
              u"No: Pontara keeps them and logs them as soon as Logger32 is back.");
    EXPECT_THAT(station.host.TraceMatching("answer"), ElementsAre("answer no"));
    EXPECT_FALSE(station.host.Ended());
    EXPECT_EQ(station.host.FieldText(Field::Text1), u" Logger32 closed, QSOs waiting: 2 !");

    station.host.logger32.StartAgain();
    station.host.RunFor(10000);
    EXPECT_EQ(Loggings().size(), 2u);
    station.host.RequestClose();
    station.Settle();
    EXPECT_EQ(station.host.MessageBoxes().size(), 1u) << "nothing held, nothing to ask";
    EXPECT_TRUE(station.host.Ended());
}

TEST_F(HeldWhenClosing, YesAfterLogger32CameBackWhileTheBoxWasOpenLosesNothing) {
    station.host.onYesNo = [this](const sim::SimHost::MessageBoxShown&) {
        station.host.logger32.StartAgain();
        station.host.RunFor(10000);
        return true;
    };
    station.host.RequestClose();
    station.Settle();
    EXPECT_TRUE(station.host.Ended());
    EXPECT_EQ(Loggings().size(), 2u);
    std::vector<std::string> trace = station.host.TraceSince(0);
    EXPECT_LT(std::find(trace.begin(), trace.end(), Loggings().back()),
              std::find(trace.begin(), trace.end(), "answer yes"));
}

TEST_F(HeldWhenClosing, ASessionEndWaitsNamingTheHeldQsosUntilLogger32HasThem) {
    EXPECT_EQ(station.host.ShutdownBlockReason(),
              u"2 QSOs not yet in Logger32's log: Q1ABC 1234 14071.5 kHz PSK31; "
              u"Q2XYZ 1240 7035 kHz CW");
    EXPECT_FALSE(station.host.EndSession());
    EXPECT_FALSE(station.host.Ended());
    EXPECT_TRUE(station.host.MessageBoxes().empty());

    station.host.logger32.StartAgain();
    station.host.RunFor(10000);
    EXPECT_EQ(Loggings().size(), 2u);
    EXPECT_EQ(station.host.ShutdownBlockReason(), std::nullopt);
    EXPECT_TRUE(station.host.EndSession());
    EXPECT_TRUE(station.host.Ended());
}

// What reaches a Logger32 coming back depends only on that Logger32: one that closes inside a
// delivery leaves the rest held, and a closed one's late answers complete nothing.
TEST_F(HeldWhenClosing, ALogger32ThatClosesInsideTheFirstLoggingGetsTheSecondWhenItIsBack) {
    station.host.logger32.onText = [this](const Text& text) {
        if (text.starts_with(u"<APP_LOGQSO")) {
            station.host.logger32.onText = nullptr;
            station.host.logger32.Close();
        }
    };
    station.host.logger32.StartAgain();
    station.host.RunFor(10000);
    EXPECT_THAT(Loggings(), ElementsAre(HasSubstr("><CALL:5>Q1ABC")));
    EXPECT_EQ(station.host.FieldText(Field::Text1), u" Logger32 closed, QSOs waiting: 1 !");
    EXPECT_EQ(station.host.ShutdownBlockReason(),
              u"1 QSO not yet in Logger32's log: Q2XYZ 1240 7035 kHz CW");
    station.host.logger32.StartAgain();
    station.host.RunFor(10000);
    EXPECT_THAT(Loggings(), ElementsAre(HasSubstr("><CALL:5>Q1ABC"), HasSubstr("><CALL:5>Q2XYZ")));
}

TEST_F(HeldWhenClosing, AClosedLogger32sLateTextWindowOrAcceptCompletesNoReturn) {
    const auto closedTextWindow = static_cast<std::int32_t>(station.host.logger32.textWindow);
    station.host.PostFromLogger32(3, closedTextWindow);
    station.host.PostFromLogger32(0, 1);
    station.host.logger32.StartAgain();
    station.host.logger32.namesTextWindow = false;
    station.host.RunFor(10000);
    EXPECT_THAT(Loggings(), IsEmpty());
    EXPECT_EQ(station.host.FieldText(Field::Text1), u" Logger32 closed, QSOs waiting: 2 !");

    // A Logger32 naming its text window before it accepts gets the owner first, then the QSOs.
    station.host.logger32.Close();
    station.host.RunFor(6000);  // noticed by the watch's tick
    station.host.PostFromLogger32(0, 1);
    station.Settle();
    station.host.logger32.StartAgain();
    station.host.logger32.namesTextWindow = true;
    station.host.logger32.textWindowFirst = true;
    std::size_t mark = station.host.TraceMark();
    station.host.RunFor(10000);
    std::vector<std::string> trace = station.host.TraceSince(mark);
    auto owner = std::find(trace.begin(), trace.end(), "post 18 1");
    EXPECT_LT(owner, std::find(trace.begin(), trace.end(), "text <APP_FORCE_FREQ:7>14071.5"));
    EXPECT_EQ(Loggings().size(), 2u);
}

TEST_F(Logger32Return, AQsoSavedWhileMixWIsBusyIsHeldOnItsLastDialInTheModeOfItsSave) {
    station.host.logger32.Close();
    station.host.RunFor(1000);
    station.host.mixw.busySpells = {{station.host.Now(), station.host.Now() + 30000}};
    station.MixWSets({{u"Mode", u"CW"}, {u"Command", u"Save"}});
    EXPECT_EQ(station.host.ShutdownBlockReason(),
              u"1 QSO not yet in Logger32's log: Q1ABC 1234 14070 kHz CW");
}

TEST(Logger32Silent, NoAnswerToTheConnectRequestForTenSecondsGivesTheHintUntilAnAnswer) {
    SimulatedStation station;
    station.host.logger32.answersConnect = false;
    station.LaunchAndRun();
    station.host.RunFor(9000);  // four Timer5 ticks
    EXPECT_EQ(station.host.FieldText(Field::Text1), MixWActive);
    station.host.RunFor(2000);
    EXPECT_EQ(station.host.FieldText(Field::Text1), u"Logger32 silent: all as admin or none !");
    station.host.PostFromLogger32(0, 1);
    station.Settle();
    EXPECT_EQ(station.host.FieldText(Field::Text1), MixWActive);
}

// Which of the two runs as administrator, and whether Windows let the bridge change its filter.
struct Ranks {
    const char* name;
    bool bridgeElevated;
    bool logger32Elevated;
    bool refusesLettingIn;
};

void PrintTo(const Ranks& ranks, std::ostream* os) {
    *os << ranks.name;
}

void LaunchAndRunAt(SimulatedStation& station, const Ranks& ranks) {
    station.host.elevated = ranks.bridgeElevated;
    station.host.logger32.elevated = ranks.logger32Elevated;
    station.host.refusesLettingIn = ranks.refusesLettingIn;
    station.LaunchAndRun();
}

class LinkAcrossRanks : public ::testing::TestWithParam<Ranks> {};

TEST_P(LinkAcrossRanks, HandshakeSpotClickAndDialFrequencyArriveFromTheLowerRank) {
    SimulatedStation station;
    LaunchAndRunAt(station, GetParam());
    ASSERT_EQ(station.host.logger32.sentWindow, station.host.FieldWindow(Field::Sent))
        << "the handshake did not complete";
    station.host.SetTextOfWindow(station.host.logger32.sentWindow,
                                 u"<APP_DXSPOT_CLICKED:19>Q1ABC|14070.0|PSK63");
    station.host.PostFromLogger32(100, 14075450);
    station.host.RunFor(11000);
    EXPECT_THAT(station.host.mixw.Macros(), Contains(Text(u"<ZFQ:14070.0>")));
    EXPECT_EQ(station.host.FieldText(Field::Freq_logger32), u"14075.450");
    EXPECT_EQ(station.host.FieldText(Field::Text1), MixWActive);
}

INSTANTIATE_TEST_SUITE_P(Ranks, LinkAcrossRanks,
                         ::testing::Values(Ranks{"BridgeAsAdministratorLetsLogger32In", true, false,
                                                 false},
                                           Ranks{"SameRanksNeedNothingLetIn", true, true, true}));

class SilentAcrossRanks : public ::testing::TestWithParam<Ranks> {};

TEST_P(SilentAcrossRanks, TheHandshakeNeverCompletesAndTheHintShows) {
    SimulatedStation station;
    LaunchAndRunAt(station, GetParam());
    station.host.RunFor(11000);
    EXPECT_EQ(station.host.logger32.sentWindow, 0u);
    EXPECT_EQ(station.host.FieldText(Field::Text1), u"Logger32 silent: all as admin or none !");
}

INSTANTIATE_TEST_SUITE_P(Ranks, SilentAcrossRanks,
                         ::testing::Values(Ranks{"Logger32AsAdministrator", false, true, false},
                                           Ranks{"BridgeAsAdministratorRefusedLettingIn", true,
                                                 false, true}));

}  // namespace
}  // namespace pontara::testing
