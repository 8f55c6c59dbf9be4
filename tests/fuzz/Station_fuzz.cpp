// The station simulator steered by coverage: each input is one run, its bytes the choices of
// events (tests/simulator/Choices.h). A broken promise prints the events that led to it and
// aborts, so that libFuzzer keeps the input; running this program on that file replays it.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "StationSimulator.h"

namespace {

long steps = 0;

void PrintSteps() {
    std::fprintf(stderr, "station steps: %ld\n", steps);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::atexit(PrintSteps);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pontara::simulation::InputChoices choices({data, size});
    pontara::simulation::StationSimulator simulator(choices);
    const pontara::simulation::Outcome outcome = simulator.Run(400);
    steps += outcome.steps;
    if (!outcome.kept) {
        std::fprintf(stderr, "%s", outcome.Report().c_str());
        std::abort();
    }
    return 0;
}
