// The main window's contents as designed, checked from the one table both hosts build from.

#include "ui/WindowModel.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

#include "platform/Text.h"

namespace pontara {
namespace {

TEST(WindowModel, LinkedFieldsNameMixWsItemsAsStored) {
    std::vector<std::string> links;
    for (const FieldModel& field : window_model::Fields()) {
        if (field.link) {
            links.push_back(AsciiOf(field.name) + "=" + AsciiOf(field.link->topic) + "!" +
                            AsciiOf(field.link->item));
        }
    }
    EXPECT_THAT(links, ::testing::ElementsAre(
                           "Mode=MixW|QSO!Mode", "Freq=MixW|CAT!khz", "Time=MIXW|QSO!time",
                           "Callsign=MixW|QSO!Call", "HisName=MixW|QSO!Name", "Qth=MixW|QSO!qth",
                           "RSTr=MixW|QSO!RstRcv", "RSTs=MixW|QSO!RstSnt", "IOTA=MixW|QSO!IOTA",
                           "Locator=MixW|QSO!Loc", "QslManag=MixW|QSO!Manager",
                           "Notes=MixW|QSO!Notes", "TextCommand=MixW|QSO!Command"));
    EXPECT_EQ(window_model::Of(Field::Time).link->Service(), u"MIXW");
    EXPECT_EQ(window_model::Of(Field::Freq).link->Topic(), u"CAT");
}

TEST(WindowModel, ExchangeFieldsAndSendButtonLieBelowTheVisibleClientArea) {
    for (Field field : {Field::TextCommand, Field::Sent, Field::Cluster, Field::Freq_logger32}) {
        EXPECT_GE(window_model::Of(field).rect.top, window_model::ClientHeightTwips);
    }
    EXPECT_GE(window_model::Of(Button::CommandSend).rect.top, window_model::ClientHeightTwips);
    for (Field field : {Field::Text1, Field::Mode, Field::Notes, Field::QslManag}) {
        const TwipRect& rect = window_model::Of(field).rect;
        EXPECT_LE(rect.top + rect.height, window_model::ClientHeightTwips);
        EXPECT_LE(rect.left + rect.width, window_model::ClientWidthTwips);
    }
}

TEST(WindowModel, TimersStartAsDesigned) {
    EXPECT_EQ(window_model::Of(TimerId::Timer4).interval, 3000);
    EXPECT_TRUE(window_model::Of(TimerId::Timer4).enabled);
    EXPECT_EQ(window_model::Of(TimerId::Timer1).interval, 1000);
    EXPECT_FALSE(window_model::Of(TimerId::Timer1).enabled);
    EXPECT_EQ(window_model::Of(TimerId::Timer).interval, 0);
    EXPECT_EQ(window_model::Of(TimerId::Timer2).interval, 300);
    EXPECT_FALSE(window_model::Of(TimerId::Timer2).enabled);
    EXPECT_EQ(window_model::Of(TimerId::Timer3).interval, 500);
    EXPECT_TRUE(window_model::Of(TimerId::Timer3).enabled);
    EXPECT_EQ(window_model::Of(TimerId::Timer5).interval, 2000);
    EXPECT_FALSE(window_model::Of(TimerId::Timer5).enabled);
}

TEST(WindowModel, ButtonsStartDisabledExceptTheSidebandAndSend) {
    EXPECT_FALSE(window_model::Of(Button::Command1).enabled);
    EXPECT_FALSE(window_model::Of(Button::Command2).enabled);
    EXPECT_TRUE(window_model::Of(Button::Command3).enabled);
    EXPECT_EQ(window_model::Of(Button::Command3).caption, u"PKT LSB");
    EXPECT_EQ(window_model::Of(Button::Command2).back, 0x80000004u);  // the system's menu colour
    EXPECT_EQ(window_model::Of(Button::Command1).back, 0x8000000Fu);  // the button face
}

TEST(WindowModel, ColoursAreStoredRedInTheLowByte) {
    EXPECT_EQ(colours::WindowBack, 0x0080C0FFu);
    EXPECT_EQ(window_model::Of(Field::QslManag).back, 0x0000FFFFu);
    EXPECT_EQ(window_model::Of(Field::Callsign).back, 0x0080FFFFu);
    EXPECT_EQ(colours::ButtonFace, 0x8000000Fu);  // system colour 15, COLOR_BTNFACE
    EXPECT_TRUE(IsSystemColour(0x8000000Fu));
}

TEST(WindowModel, NamesAreUnique) {
    std::set<std::u16string_view> names;
    std::size_t count = 0;
    for (const FieldModel& field : window_model::Fields()) {
        names.insert(field.name);
        ++count;
    }
    for (const LabelModel& label : window_model::Labels()) {
        names.insert(label.name);
        ++count;
    }
    EXPECT_EQ(names.size(), count);
}

}  // namespace
}  // namespace pontara
