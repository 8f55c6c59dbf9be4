#pragma once
// Where the station simulator's choices come from: a seed, for a run that replays from its
// number, or a fuzzer's input, so that coverage steers which events meet.

#include <cstddef>
#include <cstdint>
#include <random>
#include <span>

namespace pontara::simulation {

class Choices {
  public:
    virtual ~Choices() = default;
    // A number from 0 to bound - 1.
    virtual unsigned Below(unsigned bound) = 0;
    // No more choices to make: the run stops.
    virtual bool Exhausted() const = 0;
};

class SeededChoices final : public Choices {
  public:
    explicit SeededChoices(std::uint64_t seed) : random_(seed) {}
    unsigned Below(unsigned bound) override { return static_cast<unsigned>(random_() % bound); }
    bool Exhausted() const override { return false; }

  private:
    std::mt19937_64 random_;
};

// One byte a choice (two for more than 256 ways), so that a fuzzer's mutation of a byte changes
// one choice; 0 once the input is used up.
class InputChoices final : public Choices {
  public:
    explicit InputChoices(std::span<const std::uint8_t> input) : input_(input) {}
    unsigned Below(unsigned bound) override {
        unsigned value = Next();
        if (bound > 256) {
            value = value << 8 | Next();
        }
        return value % bound;
    }
    bool Exhausted() const override { return next_ >= input_.size(); }

  private:
    unsigned Next() { return next_ < input_.size() ? input_[next_++] : 0; }

    std::span<const std::uint8_t> input_;
    std::size_t next_ = 0;
};

}  // namespace pontara::simulation
