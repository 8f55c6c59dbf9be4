// The station simulator's seeded runs in the test run: a fixed set of seeds, each a few hundred
// events, every promise checked after every step (tests/simulator/StationSimulator.h).

#include "StationSimulator.h"

#include <gtest/gtest.h>

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
    for (int reached :
         {census.atRest, census.ended, census.heldDelivered, census.yes, census.no, census.tooBusy,
          census.qsoNotLogged, census.textWindowFirst, census.ticksHeldInDde}) {
        EXPECT_GT(reached, 0) << census.Report();
    }
}

}  // namespace
}  // namespace pontara::testing
