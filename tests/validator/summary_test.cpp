// SPDX-License-Identifier: GPL-3.0-or-later
#include <QLocale>
#include <gtest/gtest.h>

#include "testutil.h"
#include "validator/summary.h"

using namespace validator;

namespace {

struct MinutesCase {
    double minutes;
    const char* expected;
};

void PrintTo(const MinutesCase& c, std::ostream* os) {
    *os << c.minutes << " minutes";
}

class Minutes : public ::testing::TestWithParam<MinutesCase> {};

TEST_P(Minutes, RoundsToHundredthsAndDropsTrailingZeros) {
    const QLocale c(QLocale::C);
    EXPECT_EQ(formatMinutes(GetParam().minutes, c).toStdString(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Durations, Minutes,
                         ::testing::Values(MinutesCase{0.05, "0.05"}, MinutesCase{1.5, "1.5"},
                                           MinutesCase{0.0, "0"}, MinutesCase{0.004, "0"},
                                           MinutesCase{0.0049, "0"}, MinutesCase{0.0051, "0.01"},
                                           MinutesCase{0.1, "0.1"}, MinutesCase{2.0, "2"},
                                           MinutesCase{1.999, "2"}, MinutesCase{61.25, "61.25"},
                                           MinutesCase{0.123, "0.12"},
                                           MinutesCase{12345.678, "12345.68"}),
                         PrintedName());

TEST(Minutes, UsesTheLocaleDecimalSeparatorWithoutGrouping) {
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(formatMinutes(1.5, german), "1,5");
    EXPECT_EQ(formatMinutes(0.05, german), "0,05");
    EXPECT_EQ(formatMinutes(12345.5, german), "12345,5");
    EXPECT_EQ(formatMinutes(12345.5, QLocale(QLocale::English, QLocale::UnitedStates)), "12345.5");
}

TEST(Minutes, TinyNegativeNoiseIsZero) {
    EXPECT_EQ(formatMinutes(-0.001, QLocale::c()), "0");
}

TEST(Summary, EmptyDocument) {
    EXPECT_EQ(summaryText("0", 0),
              "Done..in 0 minutes\r\nI've checked 0(Char) X 15(sections) = 0 Characters..");
}

TEST(Summary, Counts1234Characters) {
    EXPECT_EQ(summaryText("0.05", 1234),
              "Done..in 0.05 minutes\r\nI've checked 1234(Char) X 15(sections) = 18510 "
              "Characters..");
}

TEST(Summary, ProductBeyond32Bits) {
    EXPECT_EQ(summaryText("1.5", 200'000'000),
              "Done..in 1.5 minutes\r\nI've checked 200000000(Char) X 15(sections) = 3000000000 "
              "Characters..");
}

} // namespace
