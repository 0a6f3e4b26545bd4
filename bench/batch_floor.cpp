// The floor of a batch: the same core calls velhorn-cli makes for each "M1, theta" case, on the
// same cases, with no text read or written. Reads the cases into memory first, then prints the
// best of three timed passes over them.   batch_floor FILE
#include "flow/solve.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
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
    double best = 1e9;
    double checksum = 0;
    for (int pass = 0; pass < 3; ++pass) {
        const auto start = std::chrono::steady_clock::now();
        for (const auto& [M1, theta] : cases) {
            const auto fan = solveFan(air, Given{By::Mach, M1}, std::nullopt, theta);
            if (const auto* f = std::get_if<Fan>(&fan))
                checksum += f->downstream.M;
        }
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::printf("cases %zu\ncore_seconds %.6f\nchecksum %.17g\n", cases.size(), best, checksum);
}
