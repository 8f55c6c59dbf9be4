// The station simulator's seeded runs in the test run: a fixed set of seeds, each a few hundred
// events, every promise checked after every step (tests/simulator/StationSimulator.h).

#include "StationSimulator.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace pontara::testing {
namespace {

// And between them they go down every path that is easy to miss.
TEST(StationSimulator, TheFirstHundredSeedsKeepEveryPromise) {
    simulation::Census census;
    for (std::uint64_t seed = 1; seed <= 100; ++seed) {
        simulation::SeededChoices choices(seed);
        simulation::StationSimulator simulator(choices);
        const simulation::Outcome outcome = simulator.Run(200);
        ASSERT_TRUE(outcome.kept) << "seed " << seed << ": " << outcome.Report();
        census += outcome.census;
    }
    for (int reached : {census.atRest, census.ended, census.heldDelivered, census.yes, census.no,
                        census.tooBusy, census.qsoNotLogged, census.textWindowFirst,
                        census.ticksHeldInDde, census.sessionEndsInBoxes}) {
        EXPECT_GT(reached, 0) << census.Report();
    }
}

// The seeded choices, with the world made wrong before each of them.
class WrongWorld final : public simulation::Choices {
  public:
    WrongWorld(std::uint64_t seed, std::function<void()> wrong)
        : seeded_(seed), wrong_(std::move(wrong)) {}
    unsigned Below(unsigned bound) override {
        wrong_();
        return seeded_.Below(bound);
    }
    bool Exhausted() const override { return false; }

  private:
    simulation::SeededChoices seeded_;
    std::function<void()> wrong_;
};

// Each promise, broken by a wrong peer or host rather than by the bridge: the simulator must name
// it within the first seeds.
TEST(StationSimulator, NamesEachPromiseAWrongWorldBreaks) {
    using Wrong = std::function<void(sim::SimHost&)>;
    auto logQso = [](const sim::SimLogger32::TextReceived& received) {
        return received.text.starts_with(u"<APP_LOGQSO:");
    };
    const std::vector<std::pair<Wrong, std::string>> worlds{
        {[&](sim::SimHost& host) {  // a Logger32 that logs each QSO twice
             auto& texts = host.logger32.texts;
             if (!texts.empty() && logQso(texts.back())) {
                 texts.push_back({texts.back().time, u"<EOR>", "<EOR>"});
                 texts.insert(texts.end() - 1, texts[texts.size() - 2]);
             }
         },
         "reached Logger32's log twice"},
        {[&](sim::SimHost& host) {  // a Logger32 that garbles what it logs, as it takes it
             if (host.logger32.texts.empty()) {
                 host.logger32.onText = [&host, &logQso,
                                         took = host.logger32.onText](const Text& text) {
                     took(text);
                     auto& received = host.logger32.texts.back();
                     if (logQso(received)) {
                         received.text[received.text.find(u'>') + 1] = u'[';
                     }
                 };
             }
         },
         "reached Logger32 as"},
        {[&](sim::SimHost& host) {  // a Logger32 that drops what it logs
             std::erase_if(host.logger32.texts, logQso);
         },
         "QSOs are held but the status line reads"},
        {[](sim::SimHost& host) {  // a MixW tuned to Logger32's dial by someone else
             host.mixw.calls.push_back(
                 {host.Now(), mixw::Member::ExecuteMacros, u"<ZFQ:7074.000>"});
         },
         "Logger32's dial reached MixW while MixW owns the rig"},
        {[](sim::SimHost& host) {  // a MixW that loses its PTT port's toggle
             std::erase_if(host.mixw.calls, [](const sim::SimMixW::Call& call) {
                 return call.argument == u"<TOGGLEPTTPORT>";
             });
         },
         "MixW's ports toggled out of pairs"},
        {[](sim::SimHost& host) {  // a program that disables the other owner's button
             host.SetEnabled(Button::Command2, false);
             host.SetEnabled(Button::Command1, false);
         },
         "the rig buttons do not name"},
        {[](sim::SimHost& host) {  // a host that ends the program on its own
             if (host.Now() > 20000) {
                 host.EndProgram();
             }
         },
         "the program ended on no designed path"},
    };
    for (const auto& [wrong, promise] : worlds) {
        std::string named;
        for (std::uint64_t seed = 1; seed <= 20 && named.empty(); ++seed) {
            sim::SimHost* host = nullptr;
            WrongWorld choices(seed, [&] { wrong(*host); });
            simulation::StationSimulator simulator(choices);
            host = &simulator.Host();
            const simulation::Outcome outcome = simulator.Run(200);
            named = outcome.broken;
        }
        EXPECT_THAT(named, ::testing::HasSubstr(promise));
    }
}

}  // namespace
}  // namespace pontara::testing
