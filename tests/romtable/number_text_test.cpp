#include "romtable/number_text.h"

#include <gtest/gtest.h>

namespace romc {
namespace {

struct NumberCase {
    const char* text;
    std::optional<std::int64_t> value;
};

TEST(NumberText, ReadsDecimalTextsAndTruncates) {
    const NumberCase cases[] = {
        {"0", 0},
        {"32", 32},
        {" 15", 15},
        {"  7  ", 7},
        {"1.9", 1},
        {"-1.9", -1},
        {"-0", 0},
        {"+4", 4},
        {"99999999999", 99999999999},
        {".5", 0},
        {"5.", 5},
        {"", std::nullopt},
        {" ", std::nullopt},
        {"1e3", std::nullopt},
        {"0x10", std::nullopt},
        {"N/A", std::nullopt},
        {"-", std::nullopt},
        {".", std::nullopt},
        {"1 2", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"9223372036854775807", 9223372036854775807},
        {"9223372036854775808", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(readNumberText(c.text), c.value) << '"' << c.text << '"';
    }
}

TEST(NumberText, WritesPlainDecimal) {
    EXPECT_EQ(numberText(0), "0");
    EXPECT_EQ(numberText(960), "960");
}

} // namespace
} // namespace romc
