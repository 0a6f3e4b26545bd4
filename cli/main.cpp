// velhorn-cli: the Prandtl-Meyer calculator without a window. Wires the commands' arguments
// (options.h, wave_options.h) to CLI11 and hands the one given to its command.
#include "cli/options.h"
#include "cli/wave_options.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <iostream>

int main(int argc, char** argv)
{
    using namespace velhorn;
    CLI::App app{"Prandtl-Meyer expansion fans and oblique shocks of a perfect gas: solve a fan or a chain of "
                 "corners, print a gas table, solve a batch of cases, solve a shock, corners both ways, or a body by "
                 "shock-expansion theory.",
                 "velhorn-cli"};
    app.set_version_flag("--version", "velhorn-cli " VELHORN_VERSION);
    app.require_subcommand(0, 1);  // none is a usage error below, which names the commands
    app.fallthrough();
    app.footer(cli::gasList() +
               "\nInverse: a Mach number found from an angle is polished to full double precision, so nu(M)\n"
               "lies within a few units in the last place of the target (the window stops at 1e-5 rad).\n"
               "Exit status: 0 solved, 1 some case has no solution, 2 usage error.");
    const cli::GlobalOptions global(app);
    cli::FanCommands fans(app);
    cli::WaveCommands waves(app);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0)
            return app.exit(e);
        cli::complain(std::string(e.what()) + " (see velhorn-cli --help)");
        return cli::kUsage;
    }
    if (app.get_subcommands().empty()) {
        cli::complain("give a command: " + cli::commandNames(app) + " (see velhorn-cli --help)");
        return cli::kUsage;
    }
    try {
        const cli::Settings settings = global.settings();
        std::ios::sync_with_stdio(false);
        cli::Output out(stdout);
        if (const auto status = fans.run(settings, out))
            return *status;
        return waves.run(settings, out).value_or(cli::kUsage);
    } catch (const cli::UsageError& e) {
        cli::complain(e.what());
        return cli::kUsage;
    }
}
