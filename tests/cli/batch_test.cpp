#include "cli/batch.h"
#include "cli/commands.h"
#include "press/records.h"
#include "text/fields.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
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

// Solved on several threads, a batch writes the same records in the same order as on one,
// whatever the format, across many chunks and with lines that fail among them; each record is
// the one solveFan gives its own line.
TEST(Batch, ThreadsKeepTheInputsOrder)
{
    std::string input = "M1,theta,gamma\n";
    std::vector<std::pair<double, double>> cases;
    for (int i = 0; i < 3000; ++i) {
        const double M1 = 1.2 + (i % 97) * 0.037;
        const double theta = (i % 89) * 0.31;
        cases.emplace_back(M1, theta);
        input += std::to_string(M1) + "," + std::to_string(theta) + "," + (i % 3 == 0 ? "1.3" : "1.4") + "\n";
        if (i % 500 == 7)
            input += "2,200,1.4\n";  // no solution: reported, no record
    }
    const auto run = [&](Format format, int jobs) {
        std::FILE* file = std::tmpfile();
        int status = 0;
        {
            Output out(file);
            std::istringstream in(input);
            Settings settings;
            settings.format = format;
            status = runBatch(settings, in, out, jobs);
        }
        EXPECT_EQ(status, kNoSolution);
        std::string text(static_cast<std::size_t>(std::ftell(file)), '\0');
        std::rewind(file);
        EXPECT_EQ(std::fread(text.data(), 1, text.size(), file), text.size());
        std::fclose(file);
        return text;
    };
    for (Format format : {Format::Csv, Format::Tsv, Format::Json, Format::Table}) {
        const std::string one = run(format, 1);
        for (int jobs : {2, 3, 8}) {
            EXPECT_EQ(run(format, jobs), one) << jobs << " threads, format " << static_cast<int>(format);
        }
    }
    std::istringstream csv(run(Format::Csv, 4));
    std::string line;
    std::getline(csv, line);  // the header
    std::size_t index = 0;
    while (std::getline(csv, line)) {
        ASSERT_LT(index, cases.size());
        const flow::Gas gas(index % 3 == 0 ? 1.3 : 1.4);
        const auto fan = std::get<flow::Fan>(
            flow::solveFan(gas, flow::Given{flow::By::Mach, std::stod(std::to_string(cases[index].first))},
                           std::nullopt, std::stod(std::to_string(cases[index].second))));
        std::string expected;
        text::appendValues(expected, press::fanValues(fan), ',');
        EXPECT_EQ(line.substr(line.find(',') + 1) + "\n", expected) << line;
        ++index;
    }
    EXPECT_EQ(index, cases.size());
}

// Lines of the command's gas, solved together many at once, give what each gives alone (as under
// a gamma column, which has each line solved by itself): across chunks and threads, with lines
// that do not read or have no solution among them, and texts that are and are not shortest.
TEST(Batch, OneGasTogetherIsEachLineAlone)
{
    std::string together = "M1,theta\n", alone = "M1,theta,gamma\n";
    for (int i = 0; i < 5000; ++i) {
        const std::string line = i % 37 == 0   ? "2,x"
                                 : i % 41 == 0 ? "2,200"
                                 : i % 3 == 0  ? std::to_string(1.2 + i % 97 * 0.05) + "," + std::to_string(i % 29)
                                               : std::to_string(1 + i % 5) + "." + std::to_string(i % 9 + 1) + "," +
                                                     std::to_string(i % 23) + ".5";
        together += line + "\n";
        alone += line + ",1.4\n";
    }
    const auto run = [](const std::string& input, int jobs) {
        std::FILE* file = std::tmpfile();
        {
            Output out(file);
            std::istringstream in(input);
            Settings settings;
            settings.format = Format::Csv;
            EXPECT_EQ(runBatch(settings, in, out, jobs), kNoSolution);
        }
        std::string text(static_cast<std::size_t>(std::ftell(file)), '\0');
        std::rewind(file);
        EXPECT_EQ(std::fread(text.data(), 1, text.size(), file), text.size());
        std::fclose(file);
        return text;
    };
    const std::string expected = run(alone, 1);
    EXPECT_GT(std::count(expected.begin(), expected.end(), '\n'), 4500);
    for (int jobs : {1, 3})
        EXPECT_EQ(run(together, jobs), expected) << jobs << " threads";
}

// A record repeats a given value in the text the line gave it only where that text is the one
// the value would be written as anyway, and only in the given quantity's own column.
TEST(Batch, GivenTextsComeBackOnlyAsTheirValuesOwn)
{
    struct Case { std::string header, line; };
    const std::vector<Case> cases = {
        {"M1,theta", "2.5,10"},      {"M1,theta", "2.50,10.0"},   {"M1,theta", "25e-1,1e1"},
        {"M1,theta", "1.537457,25.423"}, {"M2,theta_deg", "3,10"}, {"nu1_deg,M2", "26.38,3.5"},
        {"mu1,theta", "30,5.5"},     {"theta,nu2,gamma", "10,50.25,1.3"}, {"M1,mu2,gamma", "3,12.5,1.30"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.header + " / " + c.line);
        std::FILE* file = std::tmpfile();
        {
            Output out(file);
            std::istringstream in(c.header + "\n" + c.line + "\n" + c.line + "\n");  // twice: the second row's memo
            Settings settings;
            settings.format = Format::Csv;
            ASSERT_EQ(runBatch(settings, in, out, 1), kSolved);
        }
        std::string text(static_cast<std::size_t>(std::ftell(file)), '\0');
        std::rewind(file);
        ASSERT_EQ(std::fread(text.data(), 1, text.size(), file), text.size());
        std::fclose(file);

        const auto layout = std::get<BatchLayout>(readBatchHeader(c.header));
        const auto given = std::get<BatchCase>(readBatchCase(layout, c.line));
        const auto fan = std::get<flow::Fan>(flow::solveFan(flow::Gas(given.gamma.value_or(1.4)), given.upstream,
                                                            given.downstream, given.theta));
        std::string row;
        text::appendValues(row, press::fanValues(fan), ',');
        const std::string records = text.substr(text.find('\n') + 1);
        EXPECT_EQ(records, "2," + row + "3," + row);
    }
}

}  // namespace
}  // namespace velhorn::cli
