// The main window's contents as designed, checked from the one table both hosts build from.

#include "ui/WindowModel.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <set>
#include <vector>

#include "platform/Text.h"

namespace pontara {
namespace {

// Each QSO field and its caption, as laid out in twips (left, top, width, height).
TEST(WindowModel, QsoRowsAndTheirCaptionsSitWhereDesigned) {
    auto rect = [](const TwipRect& r) { return std::array{r.left, r.top, r.width, r.height}; };
    auto label = [](std::u16string_view name) {
        for (const LabelModel& each : window_model::Labels()) {
            if (each.name == name) {
                return each.rect;
            }
        }
        return TwipRect{};
    };
    using R = std::array<int, 4>;
    EXPECT_EQ(rect(window_model::Of(Field::Mode).rect), (R{1080, 720, 1572, 372}));
    EXPECT_EQ(rect(label(u"Label8")), (R{120, 840, 732, 252}));
    EXPECT_EQ(rect(window_model::Of(Field::Freq).rect), (R{1080, 1200, 1575, 375}));
    EXPECT_EQ(rect(label(u"Label4")), (R{120, 1320, 492, 252}));
    EXPECT_EQ(rect(window_model::Of(Field::Qth).rect), (R{1080, 3120, 1572, 372}));
    EXPECT_EQ(rect(label(u"Label7")), (R{120, 3240, 612, 252}));
    EXPECT_EQ(rect(window_model::Of(Field::IOTA).rect), (R{1080, 4560, 1575, 375}));
    EXPECT_EQ(rect(label(u"Label11")), (R{120, 4680, 855, 375}));
    EXPECT_EQ(rect(window_model::Of(Field::Notes).rect), (R{1080, 6000, 1575, 375}));
    EXPECT_EQ(rect(label(u"Label9")), (R{120, 6120, 855, 255}));
    EXPECT_EQ(rect(label(u"Label10")), (R{720, 6600, 1935, 495}));
    EXPECT_EQ(rect(label(u"Label6")), (R{360, 8040, 855, 255}));
    EXPECT_EQ(rect(window_model::Of(Field::Text1).rect), (R{120, 120, 3012, 375}));
    EXPECT_EQ(rect(window_model::Of(Field::TextCommand).rect), (R{1560, 8280, 1335, 375}));
    EXPECT_EQ(rect(window_model::Of(Field::Freq_logger32).rect), (R{360, 9600, 2532, 492}));
}

// What a new row, or a changed size, must keep true: the operator sees every control whole and
// apart, and the exchange fields and "Send!" stay out of sight.
TEST(WindowModel, VisibleControlsNeitherOverlapNorLeaveTheClientAreaAndCaptionsFaceTheirFields) {
    struct Placed {
        std::u16string_view name;
        TwipRect rect;
    };
    // Some captions' boxes reach one pixel at 96 DPI (15 twips) into their neighbours, as
    // designed; their text does not.
    constexpr int Touch = 15;
    std::vector<Placed> visible;
    std::vector<Placed> hidden;
    auto place = [&](std::u16string_view name, const TwipRect& rect) {
        (rect.top < window_model::ClientHeightTwips() ? visible : hidden).push_back({name, rect});
    };
    for (const FieldModel& each : window_model::Fields()) {
        place(each.name, each.rect);
    }
    for (const LabelModel& each : window_model::Labels()) {
        place(each.name, each.rect);
    }
    for (const ButtonModel& each : window_model::Buttons()) {
        place(each.name, each.rect);
    }
    std::set<std::u16string_view> hiddenNames;
    for (const Placed& each : hidden) {
        hiddenNames.insert(each.name);
    }
    for (std::u16string_view exchange :
         {u"TextCommand", u"Sent", u"Cluster", u"Freq_logger32", u"Label6", u"CommandSend"}) {
        EXPECT_TRUE(hiddenNames.contains(exchange)) << AsciiOf(exchange);
    }
    for (const Placed& each : visible) {
        EXPECT_GE(each.rect.left, 0) << AsciiOf(each.name);
        EXPECT_LE(each.rect.left + each.rect.width, window_model::ClientWidthTwips)
            << AsciiOf(each.name);
        EXPECT_LE(each.rect.top + each.rect.height, window_model::ClientHeightTwips())
            << AsciiOf(each.name);
        for (const Placed& other : visible) {
            bool apart = each.rect.left + each.rect.width - Touch <= other.rect.left ||
                         other.rect.left + other.rect.width - Touch <= each.rect.left ||
                         each.rect.top + each.rect.height - Touch <= other.rect.top ||
                         other.rect.top + other.rect.height - Touch <= each.rect.top;
            EXPECT_TRUE(&each == &other || apart)
                << AsciiOf(each.name) << " overlaps " << AsciiOf(other.name);
        }
    }
    // Each caption of the QSO column stands left of a field whose height spans the caption's top.
    const int buttonsTop = window_model::Of(Button::Command1).rect.top;
    for (const LabelModel& caption : window_model::Labels()) {
        if (caption.rect.top >= buttonsTop || caption.name == u"Label10") {
            continue;
        }
        bool faces = false;
        for (const FieldModel& field : window_model::Fields()) {
            faces |= field.rect.top <= caption.rect.top &&
                     caption.rect.top < field.rect.top + field.rect.height &&
                     caption.rect.left + caption.rect.width - Touch <= field.rect.left;
        }
        EXPECT_TRUE(faces) << AsciiOf(caption.name);
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
    EXPECT_EQ(window_model::Of(TimerId::Timer6).interval, 1000);
    EXPECT_FALSE(window_model::Of(TimerId::Timer6).enabled);
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
