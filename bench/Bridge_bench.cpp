// What one handler of the bridge costs on the simulated host: a ForwardQsoData run with nothing
// to send and with a record to build, one registered message from Logger32, one change of Sent.
// MixW is a bare fake here, so that its bookkeeping does not count as the bridge's work.

#include <benchmark/benchmark.h>

#include "bridge/QsoForwarding.h"
#include "bridge/SpotClick.h"
#include "logger32/MessageLink.h"
#include "sim/SimHost_sim.h"

namespace pontara {
namespace {

class BareMixW final : public MixWAutomation {
  public:
    Text GetQsoData(std::int16_t index) override {
        return index == mixw::LocatorIndex ? u"KO38ab" : u"";
    }
    void SetQsoData(std::int16_t, Text&) override {}
    void ExecuteMacros(const Text&) override {}
    double FqA() override { return 14070000; }
    double AudioFq() override { return 1500; }
};

class NoEvents final : public HostEvents {
  public:
    void Load() override {}
    void Unload() override {}
    bool QueryEndSession() override { return true; }
    void EndSession(SessionEnd) override {}
    void TimerTick(TimerId) override {}
    void FieldChanged(Field) override {}
    void ButtonClicked(Button) override {}
    std::optional<std::int32_t> WindowMessage(MessageId, std::uint32_t, std::int32_t) override {
        return std::nullopt;
    }
    void WorkPosted(const std::function<void()>&) override {}
};

struct Bench {
    Bench() {
        host.Start(events);
        members.MixWApp = std::make_unique<BareMixW>();
        members.MixWIsLoaded = true;
        link.State().Logger32Window = sim::SimLogger32::MainWindowHandle;
        link.State().Logger32TextWindow = sim::SimLogger32::TextWindowHandle;
        link.State().Logger32Message = host.RegisterMessage("Logger32 1");
        host.logger32.running = false;  // deliveries are not kept
        host.SetFieldText(Field::Callsign, u"Q1ABC");
        host.SetFieldText(Field::Mode, u"PSK31");
        forwarding.ForwardQsoData();
        forwarding.ForwardQsoData();
        forwarding.ForwardQsoData();
    }

    // The simulated host records every event; the records are dropped now and then, outside the
    // time measured, so that growing them is not counted as the bridge's work.
    void ForgetTraceNowAndThen(benchmark::State& state) {
        constexpr std::size_t Kept = 4096;
        if (host.Trace().size() > Kept) {
            state.PauseTiming();
            host.ForgetTrace();
            state.ResumeTiming();
        }
    }

    sim::SimHost host;
    NoEvents events;
    MainWindowMembers members;
    logger32::MessageLink link{host};
    bridge::QsoForwarding forwarding{host, members, link};
    bridge::SpotClick spots{host, members, link};
};

void ForwardQsoDataUnchanged(benchmark::State& state) {
    Bench bench;
    for (auto _ : state) {
        bench.forwarding.ForwardQsoData();
        bench.ForgetTraceNowAndThen(state);
    }
}
BENCHMARK(ForwardQsoDataUnchanged);

void ForwardQsoDataWithRecord(benchmark::State& state) {
    Bench bench;
    bool odd = false;
    for (auto _ : state) {
        bench.host.SetFieldText(Field::Callsign, (odd = !odd) ? u"Q1ABC" : u"Q2XYZ");
        bench.forwarding.ForwardQsoData();
        bench.ForgetTraceNowAndThen(state);
    }
}
BENCHMARK(ForwardQsoDataWithRecord);

void RegisteredMessageDialFrequency(benchmark::State& state) {
    Bench bench;
    std::int32_t hertz = 14070000;
    MessageId message = bench.link.State().Logger32Message;
    for (auto _ : state) {
        benchmark::DoNotOptimize(bench.link.BridgeWindowProc(message, 100, ++hertz));
        bench.ForgetTraceNowAndThen(state);
    }
}
BENCHMARK(RegisteredMessageDialFrequency);

void ChangeOfSentWithSpotClick(benchmark::State& state) {
    Bench bench;
    for (auto _ : state) {
        bench.host.SetFieldText(Field::Sent, u"<APP_DXSPOT_CLICKED:19>Q1ABC|14070.0|PSK63");
        bench.spots.SentChanged();
        bench.spots.Timer3Tick();
        bench.ForgetTraceNowAndThen(state);
    }
}
BENCHMARK(ChangeOfSentWithSpotClick);

}  // namespace
}  // namespace pontara

BENCHMARK_MAIN();
