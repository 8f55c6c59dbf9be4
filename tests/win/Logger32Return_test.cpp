// The real Pontara.exe when Logger32 closes and is started again: the Logger32 stand-in's
// windows are destroyed while Pontara forwards, a QSO is saved in MixW meanwhile, and a new
// stand-in with new windows receives the connect request, Sent's handle, the owner's codes, the
// held logging and the current QSO, each once.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Logger32StandIn.h"
#include "station/Harness.h"
#include "station/TestCase.h"
#include "station/WineStation.h"

namespace pontara {
namespace {

using namespace harness;
using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

std::size_t CountStartingWith(const Lines& lines, const std::string& prefix) {
    return static_cast<std::size_t>(std::ranges::count_if(
        lines, [&](const std::string& line) { return line.starts_with(prefix); }));
}

TEST(Logger32Return, ANewLogger32GetsTheHandshakeTheOwnerTheHeldLoggingAndTheQsoOnce) {
    WineStation station(WineStation::Options{.artifactName = TestName()});
    ASSERT_NE(station.MainWindow(), nullptr);
    ASSERT_TRUE(station.WaitUntilRunning()) << Listed(station.AtLogger32Since({}));
    station.MixWSets(u"QSO", u"time", u"1234");
    station.MixWSets(u"QSO", u"Call", u"Q1ABC");
    ASSERT_TRUE(PumpUntil(
        [&] { return CountStartingWith(station.Logger32TextsSince({}), "<CALL:5>Q1ABC") > 0; },
        10s))
        << Listed(station.AtLogger32Since({}));
    const std::string record = station.Logger32TextsSince({}).back();
    const HWND firstWindow = station.Logger32().Window();

    station.StopLogger32();
    EXPECT_TRUE(PumpUntil(
        [&] { return station.FieldText(Field::Text1) == " Logger32 closed, waiting for it !"; },
        10s))
        << station.FieldText(Field::Text1);
    station.MixWSets(u"QSO", u"Command", u"Save");
    EXPECT_TRUE(PumpUntil(
        [&] { return station.FieldText(Field::Text1) == " Logger32 closed, QSOs waiting: 1 !"; },
        10s))
        << station.FieldText(Field::Text1);

    station.StartLogger32();
    ASSERT_NE(station.Logger32().Window(), firstWindow);
    ASSERT_TRUE(PumpUntil(
        [&] { return CountStartingWith(station.Logger32TextsSince({}), "<CALL:5>Q1ABC") > 0; },
        20s))
        << Listed(station.AtLogger32Since({}));
    PumpFor(4000ms);  // whatever would come twice has come by now

    const std::string main = std::to_string(standin::ParameterFromWindow(station.MainWindow()));
    const std::string sent =
        std::to_string(standin::ParameterFromWindow(FieldAt(station.MainWindow(), Field::Sent)));
    EXPECT_EQ(station.Logger32CodesSince({}),
              (Lines{"code 1 " + main, "code 2 0", "code 2 " + sent, "code 18 1", "code 7 0",
                     "code 11 0", "code 13 0", "code 19 0", "code 15 1", "code 16 1"}))
        << Listed(station.AtLogger32Since({}));
    const std::string payload = record + "<APP_TIME_ON:4>1234<APP_TIME_OFF:4>1234";
    const Lines texts = station.Logger32TextsSince({});
    ASSERT_EQ(texts.size(), 4u) << Listed(station.AtLogger32Since({}));
    EXPECT_EQ(texts[0], "<APP_LOGQSO:" + std::to_string(payload.size()) + ">" + payload);
    EXPECT_TRUE(texts[1].starts_with("<APP_FORCE_FREQ:")) << texts[1];
    EXPECT_TRUE(texts[2].starts_with("<APP_FORCE_MODE:")) << texts[2];
    EXPECT_EQ(texts[3], record);
    EXPECT_EQ(station.Logger32().SentWindow(), FieldAt(station.MainWindow(), Field::Sent));
    EXPECT_EQ(station.FieldText(Field::Text1), "            MixW2 control active !");
}

}  // namespace
}  // namespace pontara
