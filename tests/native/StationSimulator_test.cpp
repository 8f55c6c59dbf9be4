// The station simulator's seeded runs in the test run: a fixed set of seeds, each a few hundred
// events, every promise checked after every step (tests/simulator/StationSimulator.h).

#include "StationSimulator.h"

#include <gtest/gtest.h>

namespace pontara::testing {
namespace {

TEST(StationSimulator, TheFirstHundredSeedsKeepEveryPromise) {
    for (std::uint64_t seed = 1; seed <= 100; ++seed) {
        simulation::SeededChoices choices(seed);
        simulation::StationSimulator simulator(choices);
        const simulation::Outcome outcome = simulator.Run(200);
        ASSERT_TRUE(outcome.kept) << "seed " << seed << ": " << outcome.Report();
    }
}

}  // namespace
}  // namespace pontara::testing
