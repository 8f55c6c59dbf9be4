// A MixW busy in a dialog of its own, for however long: nothing ends and nothing is lost. The
// status line says so, what the bridge asked of MixW meanwhile is made once, in order, when it
// answers again, and forwarding then goes on with the current values. A MixW that has gone still
// ends the program with one box.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SimulatedStation.h"

namespace pontara::testing {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr int Spell = 75000;

class BusyMixW : public ::testing::Test {
  protected:
    void SetUp() override {
        station.LaunchAndOpenLinks();
        station.host.RunFor(3000);  // forwarding has sent what it had
        spellStart = station.host.Now() + 100;
        spellEnd = spellStart + Spell;
        station.host.mixw.busySpells = {{spellStart, spellEnd}};
        station.host.RunFor(1000);  // the spell has begun; a Timer2 tick has met it
    }

    // What reached MixW that changes it: macros and SetQsoData.
    std::vector<std::string> MadeInMixW() const {
        std::vector<std::string> made;
        for (const auto& entry : station.host.Trace()) {
            if (entry.time >= spellStart &&
                (entry.what.starts_with("macro ") || entry.what.starts_with("SetQsoData "))) {
                made.push_back(entry.what);
            }
        }
        return made;
    }

    void RunToSpellEnd() { station.host.RunFor(spellEnd - station.host.Now()); }

    SimulatedStation station;
    int spellStart = 0;
    int spellEnd = 0;
};

TEST_F(BusyMixW, WhileMixWOwnsTheRigASpellOfMinutesPutsCallsOffAndForwardingResumesAfter) {
    station.host.SetTextOfWindow(station.host.logger32.sentWindow,
                                 u"<APP_DXSPOT_CLICKED:16>Q1ABC|14070.0|CW");
    station.host.RunFor(20000);
    station.MixWSets(u"Call", u"Q2XYZ");
    station.host.mixw.fqA = 7074000;
    station.host.RunFor(20000);
    EXPECT_EQ(station.host.FieldText(Field::Text1), u"      MixW busy, waiting for it !");
    EXPECT_THAT(MadeInMixW(), IsEmpty());
    EXPECT_THAT(station.TextsSince(spellStart), IsEmpty());
    EXPECT_TRUE(station.host.Enabled(TimerId::Timer2));

    RunToSpellEnd();
    station.host.RunFor(3000);
    EXPECT_TRUE(station.host.MessageBoxes().empty());
    EXPECT_FALSE(station.host.Ended());
    EXPECT_GT(station.host.mixw.rejectedCalls, 0);
    EXPECT_THAT(MadeInMixW(),
                ElementsAre("macro <ZFQ:14070.0>", "SetQsoData 0 Q1ABC", "macro <MODE:CW>"));
    const std::vector<Text> texts = station.TextsSince(spellEnd);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], u"<APP_FORCE_FREQ:6>7075.5");
    EXPECT_THAT(texts[1], BeginsWith(u"<CALL:5>Q2XYZ"));
    EXPECT_EQ(station.host.FieldText(Field::Text1), u"            MixW2 control active !");
    EXPECT_FALSE(station.host.Enabled(TimerId::Timer6));
}

TEST_F(BusyMixW, WhileLogger32OwnsTheRigItsTuningWaitsInOrderAndIsMadeOnceMixWAnswers) {
    station.host.Click(Button::Command2);
    station.host.RunFor(30000);
    station.host.SendFromLogger32(100, 7074000);
    station.host.RunFor(5000);
    station.host.SendFromLogger32(100, 14074000);
    station.host.RunFor(5000);
    EXPECT_EQ(station.host.FieldText(Field::Text1), u"      MixW busy, waiting for it !");

    RunToSpellEnd();
    station.host.RunFor(1000);  // one Timer6 tick
    EXPECT_THAT(MadeInMixW(), ElementsAre("macro <TOGGLECATPORT>", "macro <TOGGLEPTTPORT>",
                                          "macro <ZFQ:7074.000>", "macro <ZFQ:14074.000>"));
    EXPECT_EQ(station.host.FieldText(Field::Text1), u"         Logger32 control active !");
    station.host.RunFor(10000);
    EXPECT_EQ(MadeInMixW().size(), 4u);
    EXPECT_FALSE(station.host.Enabled(TimerId::Timer6));
}

TEST_F(BusyMixW, TheOperatorClosesDuringTheSpellAndPontaraEndsAtOnceWithCodes4And5) {
    station.host.RequestClose();
    station.Settle();
    EXPECT_TRUE(station.host.Ended());
    EXPECT_THAT(station.host.TraceMatching("send "), ElementsAre("send 4 0", "send 5 0"));
    EXPECT_TRUE(station.host.MessageBoxes().empty());
}

TEST_F(BusyMixW, AMixWThatEndsDuringTheSpellEndsPontaraWithOneBoxNamingTheDisconnectedCall) {
    station.host.RunFor(20000);
    station.host.mixw.running = false;
    station.host.RunFor(3000);
    ASSERT_EQ(station.host.MessageBoxes().size(), 1u);
    EXPECT_EQ(station.host.MessageBoxes()[0].text,
              u"MixW's GetQsoData failed.\n\nThe object invoked has disconnected from its clients "
              u"(error 0x80010108)");
    EXPECT_TRUE(station.host.Ended());
}

// Closed while Logger32 owns the rig: the rig goes back only once MixW has toggled its ports, so
// the program stays until MixW takes them; a second close ends it at once, and a session that
// closes Pontara alone has its worker wait for MixW within its 2 s.
TEST_F(BusyMixW, AClosePutsLeavingOffUntilMixWHasToggledItsPortsAndASecondCloseEndsAtOnce) {
    for (int ending : {0, 1, 2}) {
        SCOPED_TRACE(ending);
        SimulatedStation closing;
        closing.LaunchAndRun();
        closing.host.Click(Button::Command2);
        closing.host.RunFor(1000);
        const int start = closing.host.Now();
        closing.host.mixw.busySpells = {{start, start + Spell}};
        const std::size_t mark = closing.host.TraceMark();
        closing.host.RequestClose();
        closing.host.RunFor(Spell - 1000);
        EXPECT_FALSE(closing.host.Ended());
        EXPECT_EQ(closing.host.FieldText(Field::Text1), u"      MixW busy, waiting for it !");
        std::vector<std::string> expected{"post 18 1",
                                          "post 7 0",
                                          "post 11 0",
                                          "post 13 0",
                                          "post 19 0",
                                          "box Please close Souncard window and CW Mashine window "
                                          "Logger32 and after that press OK"};
        if (ending == 0) {
            closing.host.RunFor(3000);
            expected.insert(expected.end(), {"macro <TOGGLECATPORT>", "macro <TOGGLEPTTPORT>"});
        } else if (ending == 1) {
            closing.host.RequestClose();
            closing.host.RunFor(0);
        } else {
            EXPECT_TRUE(closing.host.EndSession(SessionEnd::ThisProgram));
            expected.insert(expected.end(),
                            {"query end session", "end session, this program only", "worker",
                             "macro <TOGGLECATPORT>", "macro <TOGGLEPTTPORT>"});
        }
        expected.insert(expected.end(), {"unhook", "send 4 0", "send 5 0", "end"});
        std::vector<std::string> made;
        for (const std::string& what : closing.host.TraceSince(mark)) {
            if (!what.starts_with("macro <ZFQ") && !what.starts_with("post 10")) {
                made.push_back(what);
            }
        }
        EXPECT_EQ(made, expected);
        EXPECT_TRUE(closing.host.Ended());
    }
}

}  // namespace
}  // namespace pontara::testing
