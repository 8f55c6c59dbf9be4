// The flags of a conversion to the ANSI code page, chosen by code page at the edges of the pages
// for which Windows refuses them, and the simulated host refusing what Windows refuses.

#include "platform/AnsiCodePage.h"

#include <gtest/gtest.h>

#include "platform/PlatformError.h"
#include "sim/SimCodePage_sim.h"

namespace pontara {
namespace {

struct FlagsCase {
    int codePage;
    std::uint32_t flags;
};

class ToAnsiFlagsOf : public ::testing::TestWithParam<FlagsCase> {};

TEST_P(ToAnsiFlagsOf, RefuseBestFitWhereverWindowsTakesTheFlag) {
    EXPECT_EQ(ToAnsiFlags(GetParam().codePage), GetParam().flags);
}

// 0x400 is WC_NO_BEST_FIT_CHARS.
INSTANTIATE_TEST_SUITE_P(
    CodePageEdges, ToAnsiFlagsOf,
    ::testing::Values(FlagsCase{1252, 0x400}, FlagsCase{1251, 0x400}, FlagsCase{932, 0x400},
                      FlagsCase{41, 0x400}, FlagsCase{42, 0}, FlagsCase{43, 0x400},
                      FlagsCase{50219, 0x400}, FlagsCase{50220, 0}, FlagsCase{50229, 0},
                      FlagsCase{50230, 0x400}, FlagsCase{54936, 0}, FlagsCase{57001, 0x400},
                      FlagsCase{57002, 0}, FlagsCase{57011, 0}, FlagsCase{57012, 0x400},
                      FlagsCase{65000, 0}, FlagsCase{65001, 0}),
    [](const ::testing::TestParamInfo<FlagsCase>& info) {
        return "CodePage" + std::to_string(info.param.codePage);
    });

// Wine 8 converts with WC_NO_BEST_FIT_CHARS under UTF-8 as well; Windows refuses it, and so
// must the simulated host, or a choice of flags that fails on Windows would pass here.
TEST(SimulatedConversion, RefusesNoBestFitForUtf8AsWindowsDoesAndTakesTheChosenFlags) {
    try {
        sim::ToCodePage(65001, 0x400, u"ö");
        ADD_FAILURE() << "WC_NO_BEST_FIT_CHARS taken for 65001";
    } catch (const PlatformError& error) {
        EXPECT_EQ(error.Code(), 1004u);  // ERROR_INVALID_FLAGS
        EXPECT_EQ(error.Attempted(), u"Converting a text to the ANSI code page 65001");
    }
    EXPECT_EQ(sim::ToCodePage(65001, ToAnsiFlags(65001), u"ö"), "\xC3\xB6");
    EXPECT_EQ(sim::ToCodePage(1252, ToAnsiFlags(1252), u"ö"), "\xF6");
}

}  // namespace
}  // namespace pontara
