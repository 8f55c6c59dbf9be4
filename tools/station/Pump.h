#pragma once
// Waiting in a test without stopping the test thread's windows: every wait dispatches the
// thread's messages, inbound sent messages included, so that stand-ins living on the test
// thread (tools/logger32-sim, tools/mixw-sim) go on answering the bridge.

#include <chrono>
#include <functional>

namespace pontara::harness {

using std::chrono::milliseconds;

// Dispatches messages until `done` holds (checked at least every 10 ms) or `timeout` passes.
// Returns whether `done` held.
bool PumpUntil(const std::function<bool()>& done, milliseconds timeout);

// Dispatches messages for `duration`.
void PumpFor(milliseconds duration);

}  // namespace pontara::harness
