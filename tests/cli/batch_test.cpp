#include "cli/batch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velhorn::cli {
namespace {

TEST(BatchHeader, NamesTwoGivensAndPerhapsTheGas)
{
    struct Case { std::string line; bool valid; };
    const std::vector<Case> cases = {
        {"M1,theta", true},
        {"\xEF\xBB\xBF" "M2 , theta_deg\r", true},  // a spreadsheet's byte-order mark and line end
        {"nu1_deg,mu2_deg,gamma", true},
        {"gamma,M1,M2", true},
        {"M1", false},
        {"M1,M2,theta", false},
        {"M1,nu1", false},          // two ways of giving state 1
        {"M1_deg,theta", false},    // a Mach number has no unit
        {"M1,theta,colour", false},
        {"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(std::holds_alternative<BatchLayout>(readBatchHeader(c.line)), c.valid);
    }
}

TEST(BatchCase, ReadsEachFieldStrictly)
{
    const auto layout = std::get<BatchLayout>(readBatchHeader("M1,theta,gamma"));
    const auto good = readBatchCase(layout, " 2 ,1e1, 1.3\r");
    ASSERT_TRUE(std::holds_alternative<BatchCase>(good));
    const BatchCase& c = std::get<BatchCase>(good);
    EXPECT_EQ(c.upstream->value, 2);
    EXPECT_EQ(c.upstream->by, flow::By::Mach);
    EXPECT_EQ(*c.theta, 10);
    EXPECT_EQ(*c.gamma, 1.3);
    EXPECT_FALSE(c.downstream);

    struct Bad { std::string line; std::string reason; };
    const std::vector<Bad> bad = {
        {"2,10", "expected 3 fields, found 2"},
        {"2,10,1.4,5", "expected 3 fields, found 4"},
        {"2,ten,1.4", "'ten' in column 2 is not a number"},
        {"2,,1.4", "an empty field in column 2 is not a number"},
        {"2,10,inf", "'inf' in column 3 is not a number"},
        {"2,0x1p3,1.4", "'0x1p3' in column 2 is not a number"},
        {"2,1e999,1.4", "'1e999' in column 2 is not a number"},
        {"2,+-10,1.4", "'+-10' in column 2 is not a number"},  // one sign at most
        {"2,-+10,1.4", "'-+10' in column 2 is not a number"},
        {"2,++10,1.4", "'++10' in column 2 is not a number"},
        {"2,--10,1.4", "'--10' in column 2 is not a number"},
    };
    for (const auto& b : bad) {
        SCOPED_TRACE(b.line);
        const auto result = readBatchCase(layout, b.line);
        ASSERT_TRUE(std::holds_alternative<std::string>(result));
        EXPECT_EQ(std::get<std::string>(result), b.reason);
    }
}

}  // namespace
}  // namespace velhorn::cli
