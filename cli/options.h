#pragma once

#include "cli/commands.h"

#include <CLI/CLI.hpp>

#include <fstream>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// The command line's arguments as CLI11 reads them: the options before the command, and the
// fan's commands solve, table and batch (wave_options.h has shock, corners and body).
namespace velhorn::cli {

// A usage error found after CLI11 has read the arguments.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// An option's value as a number, or a UsageError naming the option.
[[nodiscard]] double number(const std::string& option, const std::string& text);

// `run`'s status on standard input for "-", else on the file at `path`; a UsageError when it
// cannot be read.
template <typename Run>
int withInput(const std::string& path, Run run)
{
    if (path == "-")
        return run(std::cin);
    std::ifstream file(path);
    if (!file)
        throw UsageError("cannot read " + path);
    return run(file);
}

// The commands CLI11 knows, as "solve, table, ... and body".
[[nodiscard]] std::string commandNames(CLI::App& app);

// The named gases with their values and sources, for the help's footer.
[[nodiscard]] std::string gasList();

// --gas, --gamma, --format and --digits.
class GlobalOptions {
public:
    explicit GlobalOptions(CLI::App& app);
    [[nodiscard]] Settings settings() const;  // throws UsageError

private:
    CLI::Option* gas_;
    CLI::Option* gamma_;
    std::string gasName_, gammaText_, format_ = "table";
    int digits_ = 6;
};

// The state a command's --M1, --nu1 or --mu1 (or state 2's) gives, if any.
struct StateOptions {
    std::string M, nu, mu;
    void add(CLI::App& app, const std::string& state, const std::string& which);
    [[nodiscard]] std::optional<flow::Given> given(const std::string& state) const;
};

class FanCommands {
public:
    explicit FanCommands(CLI::App& app);
    // The exit status when one of these commands was given; nothing otherwise.
    [[nodiscard]] std::optional<int> run(const Settings& settings, Output& out);

private:
    CLI::App* solve_;
    CLI::App* table_;
    CLI::App* batch_;
    StateOptions upstream_, downstream_;
    std::vector<std::string> thetas_, byMach_, byNu_;
    std::string batchFile_ = "-";
    int jobs_;
};

}  // namespace velhorn::cli
