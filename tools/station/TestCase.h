#pragma once
// What every end-to-end test of tests/win does around its GoogleTest case: a name for what it
// leaves behind and a picture of the screen when it failed. Header only, so that the station
// library itself does not depend on GoogleTest; include it after <gtest/gtest.h>.

#include <gtest/gtest.h>

#include <string>

#include "platform/PlatformError.h"
#include "station/Paths.h"
#include "station/Screenshot.h"

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

}  // namespace pontara::harness
