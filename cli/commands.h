#pragma once

#include "cli/output.h"
#include "cli/records_writer.h"
#include "flow/gas.h"
#include "flow/solve.h"

#include <iosfwd>
#include <optional>
#include <vector>

// What each subcommand does once its arguments are read. Each returns the exit status:
// 0 when every case was solved, 1 when some had no solution, 2 for a usage error. Reasons go
// to standard error, one line each.
namespace velhorn::cli {

enum ExitStatus { kSolved = 0, kNoSolution = 1, kUsage = 2 };

struct Settings {
    flow::Gas gas = flow::Gas::air();
    Format format = Format::Table;
    int digits = 6;
};

// One fan from two givens, or a chain of corners from state 1 and several turning angles.
int runSolve(const Settings& settings, std::optional<flow::Given> upstream, std::optional<flow::Given> downstream,
             const std::vector<double>& thetas, Output& out);

// A gas table from `from` to `to` in steps of `step`, by M or by nu.
int runTable(const Settings& settings, flow::By by, double from, double to, double step, Output& out);

// Cases from CSV under a header line, one output record a case, in order; solved on `jobs`
// threads, a few hundred lines at a time.
int runBatch(const Settings& settings, std::istream& in, Output& out, int jobs = 1);
// The machine's cores: how many threads a batch uses unless told.
[[nodiscard]] int defaultJobs();

// Prints "velhorn-cli: <what>" on standard error.
void complain(const std::string& what);

}  // namespace velhorn::cli
