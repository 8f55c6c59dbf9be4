// The names the outside world knows Pontara's peers and texts by, written out as Logger32, MixW
// and the operator know them: a typo in a constant would otherwise pass every test, since the
// hosts, the stand-ins and the tests all use the same constants.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "bridge/ForwardedFields.h"
#include "bridge/StatusTexts.h"
#include "logger32/Logger32Protocol.h"
#include "logger32/MessageLink.h"
#include "mixw/MixWAutomation.h"
#include "platform/Text.h"
#include "ui/WindowModel.h"

namespace pontara {
namespace {

using ::testing::ElementsAre;

TEST(OutsideNames, AreSpelledAsLogger32MixWAndTheOperatorKnowThem) {
    EXPECT_THAT(logger32::MessageNames, ElementsAre(std::string("Logger32 1"), "Logger32 2",
                                                    "Logger32 3", "Logger32 4", "Logger32 5"));
    EXPECT_EQ(std::string(logger32::WindowTitle), "Logger32");
    EXPECT_EQ(mixw::ProgId, u"MixW2.Application");
    std::vector<std::string> members;
    for (const mixw::MemberInfo& row : mixw::Members) {
        members.push_back(AsciiOf(row.name));
    }
    EXPECT_THAT(members,
                ElementsAre("GetQsoData", "SetQsoData", "ExecuteMacros", "FqA", "AudioFq"));
    EXPECT_EQ(mixw::DdeService, u"MixW");
    std::set<std::u16string_view> topics;
    for (const bridge::ForwardedField& row : bridge::ForwardedFields) {
        topics.insert(row.link.topic);
    }
    EXPECT_EQ(topics, (std::set<std::u16string_view>{u"MixW|QSO", u"MIXW|QSO", u"MixW|CAT"}));

    EXPECT_EQ(window_model::Caption, u"Pontara");
    EXPECT_EQ(window_model::StatusAtCreation, u"Waiting start Logger32 and MixW2");
    EXPECT_EQ(status::WaitingForMixW, u"Waiting start MixW.");
    EXPECT_EQ(status::MixWControlActive, u"            MixW2 control active !");
    EXPECT_EQ(status::Logger32ControlActive, u"         Logger32 control active !");
    EXPECT_EQ(status::QsoNotLogged, u"QSO NOT LOGGED: no Logger32 text window !");
    EXPECT_EQ(status::Logger32Closed, u" Logger32 closed, waiting for it !");
    EXPECT_EQ(status::QsosWaitingBefore, u" Logger32 closed, QSOs waiting: ");
    EXPECT_EQ(status::QsosLoggedBefore, u"       Waiting QSOs logged: ");
    EXPECT_EQ(status::NumberAfter, u" !");
    EXPECT_EQ(status::MixWBusy, u"      MixW busy, waiting for it !");
    EXPECT_EQ(status::Logger32Silent, u"Logger32 silent: all as admin or none !");
    EXPECT_EQ(status::CloseSoundcardWindows,
              u"Please close Souncard window and CW Mashine window Logger32 and after that press "
              u"OK");
    EXPECT_EQ(logger32::AllNamesRejected,
              u"Unable to connect to Logger32.  I tried 5 different registered messages and all "
              u"were rejected");
    EXPECT_EQ(logger32::TooBusy, u"Too busy");
}

}  // namespace
}  // namespace pontara
