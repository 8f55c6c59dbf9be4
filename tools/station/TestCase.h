#pragma once
// What every end-to-end test of tests/win does around its GoogleTest case: a name for what it
// leaves behind, a picture of the screen when it failed, and the running station most start from.
// Header only, so that the station library itself does not depend on GoogleTest; include it after
// <gtest/gtest.h>.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/PlatformError.h"
#include "station/Paths.h"
#include "station/Screenshot.h"
#include "station/WineStation.h"

namespace pontara::harness {

// "<suite>.<test>" of the running test, the name of its artifacts (transcripts, screenshots).
inline std::string TestName() {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string(test->test_suite_name()) + "." + test->name();
}

// Saves the screen as test-artifacts/<suite>.<test>.bmp when the running test has failed so far.
inline void SaveScreenshotOnFailure() {
    if (::testing::Test::HasFailure()) {
        SaveScreenshot(ArtifactPath(TestName() + ".bmp"));
    }
}

// For a DDE client of a test: an advised value that could not be converted fails the test.
inline void FailOnAdviseFailure(const PlatformError& error) {
    ADD_FAILURE() << error.what();
}

// A test on a station started as it begins, its transcripts named after it, and run until the
// start-up is over and forwarding runs (WineStation::WaitUntilRunning); a picture of the screen
// when it has failed. A fixture that waits for more calls SetUp first and stops on its failure.
class RunningStationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        station_.emplace(WineStation::Options{.artifactName = TestName()});
        ASSERT_NE(station_->MainWindow(), nullptr) << "no window captioned \"Pontara\"";
        ASSERT_TRUE(station_->WaitUntilRunning())
            << "the start-up did not hand the rig to MixW and open the links\n"
            << Listed(station_->AtLogger32Since({}));
    }

    void TearDown() override { SaveScreenshotOnFailure(); }

    WineStation& S() { return *station_; }

    std::optional<WineStation> station_;
};

}  // namespace pontara::harness
