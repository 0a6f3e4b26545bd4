// velhorn-cli: the Prandtl-Meyer calculator without a window. Reads the arguments and hands
// them to the subcommand; everything it computes and writes lives in the libraries.
#include "cli/commands.h"
#include "cli/wave_options.h"
#include "flow/fan.h"
#include "press/records.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <stdexcept>

namespace {

using namespace velhorn;

// A usage error found after CLI11 has read the arguments.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

double number(const std::string& option, const std::string& text)
{
    if (const auto value = press::readNumber(text))
        return *value;
    throw UsageError(option + ": '" + text + "' is not a number");
}

std::string gasList()
{
    std::string list = "Gases for --gas (gamma, and where the value comes from):\n";
    for (const auto& gas : flow::gasPresets()) {
        const std::string gamma = press::roundedNumber(gas.gamma, 4);
        list += "  " + std::string(gas.name) + std::string(16 - gas.name.size(), ' ') + gamma +
                std::string(7 - gamma.size(), ' ') + std::string(gas.source) + "\n";
    }
    return list + "Table A-2(a): Cengel and Boles, Thermodynamics: An Engineering Approach, ideal gases at 300 K.\n";
}

// The state a subcommand's --M1, --nu1 or --mu1 (or state 2's) gives, if any.
struct StateOptions {
    std::string M, nu, mu;
    std::optional<flow::Given> given(const std::string& state) const
    {
        if (!M.empty())
            return flow::Given{flow::By::Mach, number("--M" + state, M)};
        if (!nu.empty())
            return flow::Given{flow::By::Nu, number("--nu" + state, nu)};
        if (!mu.empty())
            return flow::Given{flow::By::Mu, number("--mu" + state, mu)};
        return std::nullopt;
    }
    void add(CLI::App& app, const std::string& state, const std::string& which)
    {
        auto* m = app.add_option("--M" + state, M, "Mach number " + which)->type_name("X");
        auto* n = app.add_option("--nu" + state, nu, "Prandtl-Meyer angle " + which + ", degrees")->type_name("DEG");
        auto* u = app.add_option("--mu" + state, mu, "Mach angle " + which + ", degrees")->type_name("DEG");
        m->excludes(n)->excludes(u);
        n->excludes(u);
    }
};

// The first word that is neither an option nor an option's value, when it names no subcommand.
std::string unknownCommand(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "solve" || word == "table" || word == "batch" || cli::WaveCommands::isName(word))
            return {};
        if (word == "--gas" || word == "--gamma" || word == "--format" || word == "--digits")
            ++i;
        else if (!word.starts_with("-"))
            return word;
    }
    return {};
}

}  // namespace

int main(int argc, char** argv)
{
    CLI::App app{"Prandtl-Meyer expansion fans and oblique shocks of a perfect gas: solve a fan or a chain of "
                 "corners, print a gas table, solve a batch of cases, solve a shock, corners both ways, or a body by "
                 "shock-expansion theory.",
                 "velhorn-cli"};
    app.set_version_flag("--version", "velhorn-cli " VELHORN_VERSION);
    app.require_subcommand(1);
    app.fallthrough();
    app.footer(gasList() +
               "\nInverse: a Mach number found from an angle is polished to full double precision, so nu(M)\n"
               "lies within a few units in the last place of the target (the window stops at 1e-5 rad).\n"
               "Exit status: 0 solved, 1 some case has no solution, 2 usage error.");

    std::string gasName, gammaText, formatName = "table";
    int digits = 6;
    auto* gasOption = app.add_option("--gas", gasName, "a named gas (listed below); air when neither is given")
                          ->type_name("NAME");
    auto* gammaOption = app.add_option("--gamma", gammaText, "ratio of specific heats, above 1")->type_name("G");
    gasOption->excludes(gammaOption);
    app.add_option("--format", formatName, "table (rounded, for people), or csv, tsv, json (full precision)")
        ->type_name("FORMAT")
        ->check(CLI::IsMember({"table", "csv", "tsv", "json"}));
    app.add_option("--digits", digits, "significant digits in a table and in messages, 1 to 17")
        ->type_name("N")
        ->check(CLI::Range(1, 17));

    auto* solve = app.add_subcommand("solve", "one fan from two of state 1, state 2 and theta; or a chain of "
                                              "corners from state 1 and several thetas. A negative theta is an "
                                              "isentropic compression; a sharp concave corner makes a shock instead: "
                                              "see shock and corners");
    StateOptions upstream, downstream;
    upstream.add(*solve, "1", "ahead of the fan");
    downstream.add(*solve, "2", "behind the fan");
    std::vector<std::string> thetaTexts;
    solve->add_option("--theta", thetaTexts, "turning angle, degrees; several (5,10 or repeated) chain corners")
        ->type_name("DEG")
        ->delimiter(',');

    auto* table = app.add_subcommand("table", "a gas table: M, nu, mu, p/p0, T/T0, rho/rho0 over a range");
    std::vector<std::string> byMach, byNu;
    auto* machRange = table->add_option("--M", byMach, "FROM TO STEP in Mach number")->expected(3);
    auto* nuRange = table->add_option("--nu", byNu, "FROM TO STEP in Prandtl-Meyer angle, degrees")->expected(3);
    machRange->excludes(nuRange);

    auto* batch = app.add_subcommand("batch", "cases from CSV, one a line under a header such as M1,theta or "
                                              "M2,theta or M1,M2 (optionally gamma); one record a case");
    std::string batchFile = "-";
    batch->add_option("file", batchFile, "the CSV file, or - for standard input")->check(
        [](const std::string& path) { return path == "-" ? std::string() : CLI::ExistingFile(path); });
    int jobs = cli::defaultJobs();
    batch->add_option("--jobs", jobs, "threads that solve the cases, one a core unless told; the records keep the input's order")
        ->type_name("N")
        ->check(CLI::Range(1, 1024))
        ->capture_default_str();
    cli::WaveCommands waves(app);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0)
            return app.exit(e);
        const std::string command = unknownCommand(argc, argv);
        cli::complain(command.empty() ? std::string(e.what()) + " (see velhorn-cli --help)"
                                      : "unknown command '" + command +
                                            "'; the commands are solve, table, batch, shock, corners and body");
        return cli::kUsage;
    }

    try {
        cli::Settings settings;
        // Counted, not tested for text: an empty --gas "" is a mistake to name, not a request for air.
        if (gasOption->count() > 0) {
            if (gasName.empty())
                throw UsageError("--gas: the name is empty; velhorn-cli --help lists the gases");
            const auto* preset = flow::findGasPreset(gasName);
            if (!preset)
                throw UsageError("unknown gas '" + gasName + "'; velhorn-cli --help lists the gases");
            settings.gas = flow::Gas(preset->gamma);
        } else if (gammaOption->count() > 0) {
            const double gamma = number("--gamma", gammaText);
            try {
                settings.gas = flow::Gas(gamma);
            } catch (const std::invalid_argument& e) {
                throw UsageError("--gamma " + gammaText + ": " + e.what());
            }
        }
        static const std::map<std::string, cli::Format> kFormats = {
            {"table", cli::Format::Table}, {"csv", cli::Format::Csv}, {"tsv", cli::Format::Tsv}, {"json", cli::Format::Json}};
        settings.format = kFormats.at(formatName);
        settings.digits = digits;

        std::ios::sync_with_stdio(false);
        cli::Output out(stdout);
        if (solve->parsed()) {
            std::vector<double> thetas;
            for (const auto& text : thetaTexts)
                thetas.push_back(number("--theta", text));
            return cli::runSolve(settings, upstream.given("1"), downstream.given("2"), thetas, out);
        }
        if (table->parsed()) {
            const bool mach = !byMach.empty();
            if (!mach && byNu.empty())
                throw UsageError("table: give a range, --M FROM TO STEP or --nu FROM TO STEP");
            const auto& range = mach ? byMach : byNu;
            const std::string option = mach ? "--M" : "--nu";
            return cli::runTable(settings, mach ? flow::By::Mach : flow::By::Nu, number(option, range[0]),
                                 number(option, range[1]), number(option, range[2]), out);
        }
        if (const auto status = waves.run(settings, out))
            return *status;
        if (batchFile == "-")
            return cli::runBatch(settings, std::cin, out, jobs);
        std::ifstream file(batchFile);
        if (!file)
            throw UsageError("cannot read " + batchFile);
        return cli::runBatch(settings, file, out, jobs);
    } catch (const UsageError& e) {
        cli::complain(e.what());
        return cli::kUsage;
    }
}
