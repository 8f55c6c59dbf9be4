#pragma once
// The fixture of the native tests that begin once the bridge runs and its first Timer2 tick has
// opened the links.

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>

#include "SimulatedStation.h"

namespace pontara::testing {

class LinkedStationTest : public ::testing::Test {
  protected:
    // MixW serves `items` ("topic|item" in lower case) from the start; the others have no value
    // until MixW sets them.
    void LaunchServing(std::initializer_list<std::pair<std::u16string, Text>> items) {
        for (const auto& [item, value] : items) {
            station.host.mixw.items[item] = value;
        }
        station.LaunchAndOpenLinks();
    }

    // Serving what a logging reads: the QSO's time, and Command and Call empty.
    void LaunchReadyToLog() {
        LaunchServing({{u"qso|time", u"1234"}, {u"qso|command", u""}, {u"qso|call", u""}});
    }

    SimulatedStation station;
};

}  // namespace pontara::testing
