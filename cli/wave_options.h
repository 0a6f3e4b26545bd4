#pragma once

#include "cli/commands.h"

#include <CLI/CLI.hpp>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The arguments of shock, corners and body, read by CLI11 beside main's own subcommands.
namespace velhorn::cli {

class WaveCommands {
public:
    explicit WaveCommands(CLI::App& app);
    // The exit status when one of these subcommands was given; nothing otherwise.
    [[nodiscard]] std::optional<int> run(const Settings& settings, Output& out);

private:
    CLI::App* shock_;
    CLI::App* corners_;
    CLI::App* body_;
    std::string M1_, theta_, beta_, batch_;
    bool strong_ = false;
    std::string cornersM1_, compression_ = "shock", cornersSvg_;
    std::vector<std::string> turns_;
    std::string shape_, halfAngle_, thickness_, crest_ = "0.5", points_, bodySvg_;
    int facets_ = 10;
    std::vector<std::string> M_, alpha_;
    bool perFacet_ = false;
};

}  // namespace velhorn::cli
