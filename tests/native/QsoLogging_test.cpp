// Logging the QSO saved in MixW: what "Save" and "Remove" send under each owner, the pause of
// forwarding around a logging, and the notice when Logger32 cannot be reached.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "LinkedStationTest.h"
#include "support/ExpectedRecord.h"

namespace pontara::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class Logging : public LinkedStationTest {
  protected:
    void SetUp() override {
        LaunchReadyToLog();
        station.host.RunFor(3000);
    }

    std::vector<std::string> CommandTrace(const Text& command) {
        std::size_t mark = station.host.TraceMark();
        station.MixWSets(u"Command", command);
        return station.host.TraceSince(mark);
    }
};

TEST_F(Logging, SaveWithNoRecordYetLogsTheTimesAloneThenPostsFifteenAndSixteen) {
    EXPECT_THAT(CommandTrace(u"Save"),
                ElementsAre("text <APP_LOGQSO:39><APP_TIME_ON:4>1234<APP_TIME_OFF:4>1234",
                            "post 15 1", "post 16 1", "sleep 700"));
    EXPECT_EQ(station.host.FieldText(Field::TextCommand), u"Korvex_Send");
}

TEST_F(Logging, SavePausesForwardingUntilAFullIntervalAfterThePause) {
    int saved = station.host.Now();
    station.host.mixw.fqA = 7000000;  // a frequency command is due
    station.MixWSets(u"Command", u"Save");
    EXPECT_EQ(station.host.Interval(TimerId::Timer2), 800);
    EXPECT_TRUE(station.host.Enabled(TimerId::Timer2));
    int sent = static_cast<int>(station.host.logger32.texts.size());
    station.host.RunFor(1500 - (station.host.Now() - saved) - 1);
    EXPECT_EQ(static_cast<int>(station.host.logger32.texts.size()), sent);
    station.host.RunFor(1);
    EXPECT_THAT(station.host.logger32.texts.back().text, BeginsWith(u"<APP_FORCE_FREQ"));
}

TEST_F(Logging, TheLoggedRecordIsTheLastForwardedOneAndKeepsItsTimeTokens) {
    station.MixWSets(u"Call", u"Q1ABC");
    station.host.RunFor(800);
    ASSERT_FALSE(station.host.logger32.texts.empty());
    Text record = station.host.logger32.texts.back().text;
    station.MixWSets(u"Command", u"Save");
    station.host.Click(Button::CommandSend);
    station.Settle();
    const auto& texts = station.host.logger32.texts;
    Text times = u"<APP_TIME_ON:4>1234<APP_TIME_OFF:4>1234";
    Text first = record + times;
    Text second = first + times;
    EXPECT_EQ(texts[texts.size() - 2].text, expected::LogQso(first));
    EXPECT_EQ(texts.back().text, expected::LogQso(second));
}

TEST_F(Logging, EmptyTimeGivesZeroLengthTimeTokens) {
    station.MixWSets(u"time", u"");
    EXPECT_THAT(CommandTrace(u"Save")[0], "text <APP_LOGQSO:31><APP_TIME_ON:0><APP_TIME_OFF:0>");
}

TEST_F(Logging, RemoveClearsLogger32sEntryAndNothingElse) {
    EXPECT_THAT(CommandTrace(u"Remove"), ElementsAre("text <EOR>"));
    EXPECT_EQ(station.host.FieldText(Field::TextCommand), u"Remove");
    EXPECT_TRUE(station.host.Enabled(TimerId::Timer2));
}

TEST_F(Logging, EverySaveAfterTheProgramsOwnWriteIsANewLogging) {
    CommandTrace(u"Save");
    EXPECT_THAT(CommandTrace(u"Save"), ElementsAre(BeginsWith("text <APP_LOGQSO:78>"), "post 15 1",
                                                   "post 16 1", "sleep 700"));
}

TEST_F(Logging, OnlyTheExactWordsAct) {
    for (const char16_t* command : {u"save", u"SAVE", u"Save ", u" Save", u"remove", u"Remove ",
                                    u" ", u"Korvex_Send", u"Command"}) {
        EXPECT_THAT(CommandTrace(command), IsEmpty()) << AsciiOf(command);
    }
}

TEST_F(Logging, WhileLogger32OwnsTheRigSaveAndRemoveAreIgnored) {
    station.host.Click(Button::Command2);
    station.Settle();
    EXPECT_THAT(CommandTrace(u"Save"), IsEmpty());
    EXPECT_THAT(CommandTrace(u"Remove"), IsEmpty());
    EXPECT_FALSE(station.host.Enabled(TimerId::Timer2));
}

TEST_F(Logging, SendButtonLogsUnderEitherOwnerWithoutPausingForwarding) {
    std::size_t mark = station.host.TraceMark();
    station.host.Click(Button::CommandSend);
    station.Settle();
    EXPECT_THAT(station.host.TraceSince(mark),
                ElementsAre(BeginsWith("text <APP_LOGQSO:"), "post 15 1", "post 16 1"));
    station.host.Click(Button::Command2);
    station.Settle();
    mark = station.host.TraceMark();
    station.host.Click(Button::CommandSend);
    station.Settle();
    EXPECT_THAT(station.host.TraceSince(mark),
                ElementsAre(BeginsWith("text <APP_LOGQSO:"), "post 15 1", "post 16 1"));
}

TEST_F(Logging, ALoggingThatCannotReachLogger32IsShownOnTheStatusLine) {
    station.host.logger32.textWindow = 0x00010099;  // its text window is gone, its main one stays
    EXPECT_THAT(CommandTrace(u"Save"), ElementsAre(BeginsWith("text <APP_LOGQSO:"), "post 15 1",
                                                   "post 16 1", "sleep 700"));
    EXPECT_EQ(station.host.FieldText(Field::Text1), u"QSO NOT LOGGED: no Logger32 text window !");
    station.host.logger32.textWindow = sim::SimLogger32::TextWindowHandle;
    station.host.Click(Button::CommandSend);
    station.Settle();
    EXPECT_EQ(station.host.FieldText(Field::Text1), u"            MixW2 control active !");
}

TEST(LoggingBeforeTextWindow, IsShownOnTheStatusLineToo) {
    SimulatedStation station;
    station.host.logger32.namesTextWindow = false;
    station.LaunchAndRun();
    station.host.Click(Button::CommandSend);
    station.Settle();
    EXPECT_EQ(station.host.FieldText(Field::Text1), u"QSO NOT LOGGED: no Logger32 text window !");
    EXPECT_TRUE(station.host.logger32.texts.empty());
}

}  // namespace
}  // namespace pontara::testing
