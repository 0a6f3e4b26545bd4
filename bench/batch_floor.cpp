// The floor of a batch: the same core calls velhorn-cli makes for each "M1, theta" case, on the
// same cases, with no text read or written. Reads the cases into memory first, then prints the
// best of three timed passes over them.   batch_floor FILE
#include "flow/solve.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: batch_floor FILE\n");
        return 2;
    }
    using namespace velhorn::flow;
    std::ifstream in(argv[1]);
    std::string line;
    std::getline(in, line);  // the header
    std::vector<std::pair<double, double>> cases;
    while (std::getline(in, line)) {
        const auto comma = line.find(',');
        cases.emplace_back(std::stod(line.substr(0, comma)), std::stod(line.substr(comma + 1)));
    }
    const Gas& air = Gas::air();
    constexpr std::size_t kChunk = 256;
    std::vector<double> M1(kChunk), theta(kChunk);
    std::vector<std::variant<Fan, Problem>> fans(kChunk);
    double best = 1e9;
    double checksum = 0;
    for (int pass = 0; pass < 3; ++pass) {
        const auto start = std::chrono::steady_clock::now();
        // As velhorn-cli solves them: a chunk of 256 lines at a time, through solveFans.
        for (std::size_t first = 0; first < cases.size(); first += kChunk) {
            const std::size_t count = std::min(kChunk, cases.size() - first);
            for (std::size_t i = 0; i < count; ++i)
                std::tie(M1[i], theta[i]) = cases[first + i];
            solveFans(air, {M1.data(), count}, {theta.data(), count}, {fans.data(), count});
            for (std::size_t i = 0; i < count; ++i)
                if (const auto* f = std::get_if<Fan>(&fans[i]))
                    checksum += f->downstream.M;
        }
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::printf("cases %zu\ncore_seconds %.6f\nchecksum %.17g\n", cases.size(), best, checksum);
}
