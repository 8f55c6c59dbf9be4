// Seeded runs of the station simulator. Without arguments, seeds from 1 on for 60 s; with
// --seconds N for that long, --runs N for that many seeds (the census of seeds 1-100: --runs 100
// --steps 200), --first S from seed S, --steps N steps a run, --seed S that one
// seed alone, its events printed (the replay of a failure). Prints how many runs, steps and
// events ran and how often the runs went down the paths that are easy to miss; on a broken
// promise, the seed and its events, and exits 1.

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "StationSimulator.h"

namespace {

struct Options {
    double seconds = 60;
    std::uint64_t first = 1;
    int steps = 300;
    long runs = 0;
    bool one = false;
};

Options Parse(int argc, char** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const char* value = argv[i + 1];
        if (name == "--seconds") {
            options.seconds = std::atof(value);
        } else if (name == "--first") {
            options.first = std::strtoull(value, nullptr, 10);
        } else if (name == "--runs") {
            options.runs = std::atol(value);
        } else if (name == "--steps") {
            options.steps = std::atoi(value);
        } else if (name == "--seed") {
            options.first = std::strtoull(value, nullptr, 10);
            options.one = true;
        } else {
            std::fprintf(stderr, "unknown option %s\n", argv[i]);
            std::exit(2);
        }
    }
    return options;
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = Parse(argc, argv);
    const auto start = std::chrono::steady_clock::now();
    const auto elapsed = [&] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    long runs = 0;
    long steps = 0;
    pontara::simulation::Census census;
    for (std::uint64_t seed = options.first;; ++seed) {
        pontara::simulation::SeededChoices choices(seed);
        pontara::simulation::StationSimulator simulator(choices);
        const pontara::simulation::Outcome outcome = simulator.Run(options.steps);
        ++runs;
        steps += outcome.steps;
        census += outcome.census;
        if (!outcome.kept || options.one) {
            std::printf("seed %llu: %s", static_cast<unsigned long long>(seed),
                        outcome.Report().c_str());
        }
        if (!outcome.kept) {
            std::printf("replay: station_simulator --seed %llu --steps %d\n",
                        static_cast<unsigned long long>(seed), options.steps);
            return 1;
        }
        if (options.one || runs == options.runs ||
            (options.runs == 0 && elapsed() >= options.seconds)) {
            break;
        }
    }
    std::printf("station simulator: %ld runs, %ld steps in %.0f s, every promise kept\n%s\n", runs,
                steps, elapsed(), census.Report().c_str());
    return 0;
}
