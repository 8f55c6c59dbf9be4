// The real Pontara.exe when Logger32 closes and is started again: the Logger32 stand-in's
// windows are destroyed while Pontara forwards, two QSOs are saved in MixW meanwhile, and a new
// stand-in with new windows receives the connect request, Sent's handle, the owner's codes, each
// held QSO on its own dial and mode, and the current QSO, each once.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Logger32StandIn.h"
#include "station/Harness.h"
#include "station/TestCase.h"
#include "station/WineStation.h"
#include "support/ExpectedRecord.h"

namespace pontara {
namespace {

using namespace harness;
using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

std::size_t CountStartingWith(const Lines& lines, const std::string& prefix) {
    return static_cast<std::size_t>(std::ranges::count_if(
        lines, [&](const std::string& line) { return line.starts_with(prefix); }));
}

TEST(Logger32Return, ANewLogger32GetsTheHandshakeTheOwnerEachHeldQsoOnItsDialAndModeAndTheQso) {
    WineStation station(WineStation::Options{.artifactName = TestName()});
    ASSERT_NE(station.MainWindow(), nullptr);
    ASSERT_TRUE(station.WaitUntilRunning()) << Listed(station.AtLogger32Since({}));
    station.MixWSets(u"QSO", u"time", u"1234");
    station.MixWSets(u"QSO", u"Call", u"Q1ABC");
    ASSERT_TRUE(PumpUntil(
        [&] { return CountStartingWith(station.Logger32TextsSince({}), "<CALL:5>Q1ABC") > 0; },
        10s))
        << Listed(station.AtLogger32Since({}));
    const HWND firstWindow = station.Logger32().Window();

    station.StopLogger32();
    EXPECT_TRUE(PumpUntil(
        [&] { return station.FieldText(Field::Text1) == " Logger32 closed, waiting for it !"; },
        10s))
        << station.FieldText(Field::Text1);
    // Two QSOs worked while Logger32 is away, on two bands and in two modes.
    auto save = [&](const char16_t* call, const char16_t* name, const char16_t* mode,
                    const char16_t* time, const std::string& status) {
        station.MixWSets(u"QSO", u"Call", call);
        station.MixWSets(u"QSO", u"Name", name);
        station.MixWSets(u"QSO", u"Mode", mode);
        station.MixWSets(u"QSO", u"time", time);
        station.MixWSets(u"QSO", u"Command", u"Save");
        EXPECT_TRUE(PumpUntil([&] { return station.FieldText(Field::Text1) == status; }, 10s))
            << station.FieldText(Field::Text1);
    };
    save(u"Q2XYZ", u"Juri", u"BPSK31", u"1240", " Logger32 closed, QSOs waiting: 1 !");
    station.MixWTunes(7035000, 1500);
    save(u"Q3DEF", u"Ann", u"CW", u"1302", " Logger32 closed, QSOs waiting: 2 !");

    station.StartLogger32();
    ASSERT_NE(station.Logger32().Window(), firstWindow);
    const std::string current = expected::Record<std::string>({{"CALL", "Q3DEF"}, {"NAME", "Ann"}});
    ASSERT_TRUE(PumpUntil(
        [&] { return CountStartingWith(station.Logger32TextsSince({}), current) > 0; }, 20s))
        << Listed(station.AtLogger32Since({}));
    PumpFor(4000ms);  // whatever would come twice has come by now

    const std::string main = std::to_string(standin::ParameterFromWindow(station.MainWindow()));
    const std::string sent =
        std::to_string(standin::ParameterFromWindow(FieldAt(station.MainWindow(), Field::Sent)));
    EXPECT_EQ(
        station.Logger32CodesSince({}),
        (Lines{"code 1 " + main, "code 2 0", "code 2 " + sent, "code 18 1", "code 7 0", "code 11 0",
               "code 13 0", "code 19 0", "code 15 1", "code 16 1", "code 15 1", "code 16 1"}))
        << Listed(station.AtLogger32Since({}));
    EXPECT_EQ(station.Logger32TextsSince({}),
              (Lines{"<APP_FORCE_FREQ:7>14071.5", "<APP_FORCE_MODE:5>PSK31",
                     expected::LogQso(
                         expected::Record<std::string>({{"CALL", "Q2XYZ"}, {"NAME", "Juri"}}) +
                         expected::Times<std::string>("1240")),
                     "<APP_FORCE_FREQ:4>7035", "<APP_FORCE_MODE:2>CW",
                     expected::LogQso(current + expected::Times<std::string>("1302")),
                     "<APP_FORCE_FREQ:4>7035", "<APP_FORCE_MODE:2>CW", current}))
        << Listed(station.AtLogger32Since({}));
    EXPECT_EQ(station.Logger32().SentWindow(), FieldAt(station.MainWindow(), Field::Sent));
    EXPECT_EQ(station.FieldText(Field::Text1), "            MixW2 control active !");
}

}  // namespace
}  // namespace pontara
