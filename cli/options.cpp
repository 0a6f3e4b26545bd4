#include "cli/options.h"

#include "flow/gas.h"
#include "text/number_text.h"

#include <map>

namespace velhorn::cli {

double number(const std::string& option, const std::string& text)
{
    if (const auto value = text::readNumber(text))
        return *value;
    throw UsageError(option + ": '" + text + "' is not a number");
}

std::string commandNames(CLI::App& app)
{
    const auto commands = app.get_subcommands([](const CLI::App*) { return true; });
    std::string names;
    for (std::size_t i = 0; i < commands.size(); ++i)
        names += (i == 0 ? "" : i + 1 == commands.size() ? " and " : ", ") + commands[i]->get_name();
    return names;
}

std::string gasList()
{
    std::string list = "Gases for --gas (gamma, and where the value comes from):\n";
    for (const auto& gas : flow::gasPresets()) {
        const std::string gamma = text::roundedNumber(gas.gamma, 4);
        list += "  " + std::string(gas.name) + std::string(16 - gas.name.size(), ' ') + gamma +
                std::string(7 - gamma.size(), ' ') + std::string(gas.source) + "\n";
    }
    return list + "Table A-2(a): Cengel and Boles, Thermodynamics: An Engineering Approach, ideal gases at 300 K.\n";
}

GlobalOptions::GlobalOptions(CLI::App& app)
    : gas_(app.add_option("--gas", gasName_, "a named gas (listed below); air when neither is given")->type_name("NAME")),
      gamma_(app.add_option("--gamma", gammaText_, "ratio of specific heats, above 1")->type_name("G"))
{
    gas_->excludes(gamma_);
    app.add_option("--format", format_, "table (rounded, for people), or csv, tsv, json (full precision)")
        ->type_name("FORMAT")
        ->check(CLI::IsMember({"table", "csv", "tsv", "json"}));
    app.add_option("--digits", digits_, "significant digits in a table and in messages, 1 to 17")
        ->type_name("N")
        ->check(CLI::Range(1, 17));
}

Settings GlobalOptions::settings() const
{
    Settings settings;
    // Counted, not tested for text: an empty --gas "" is a mistake to name, not a request for air.
    if (gas_->count() > 0) {
        if (gasName_.empty())
            throw UsageError("--gas: the name is empty; velhorn-cli --help lists the gases");
        const auto* preset = flow::findGasPreset(gasName_);
        if (!preset)
            throw UsageError("unknown gas '" + gasName_ + "'; velhorn-cli --help lists the gases");
        settings.gas = flow::Gas(preset->gamma);
    } else if (gamma_->count() > 0) {
        const double gamma = number("--gamma", gammaText_);
        try {
            settings.gas = flow::Gas(gamma);
        } catch (const std::invalid_argument& e) {
            throw UsageError("--gamma " + gammaText_ + ": " + e.what());
        }
    }
    static const std::map<std::string, Format> kFormats = {
        {"table", Format::Table}, {"csv", Format::Csv}, {"tsv", Format::Tsv}, {"json", Format::Json}};
    settings.format = kFormats.at(format_);
    settings.digits = digits_;
    return settings;
}

void StateOptions::add(CLI::App& app, const std::string& state, const std::string& which)
{
    auto* m = app.add_option("--M" + state, M, "Mach number " + which)->type_name("X");
    auto* n = app.add_option("--nu" + state, nu, "Prandtl-Meyer angle " + which + ", degrees")->type_name("DEG");
    auto* u = app.add_option("--mu" + state, mu, "Mach angle " + which + ", degrees")->type_name("DEG");
    m->excludes(n)->excludes(u);
    n->excludes(u);
}

std::optional<flow::Given> StateOptions::given(const std::string& state) const
{
    if (!M.empty())
        return flow::Given{flow::By::Mach, number("--M" + state, M)};
    if (!nu.empty())
        return flow::Given{flow::By::Nu, number("--nu" + state, nu)};
    if (!mu.empty())
        return flow::Given{flow::By::Mu, number("--mu" + state, mu)};
    return std::nullopt;
}

FanCommands::FanCommands(CLI::App& app)
    : solve_(app.add_subcommand("solve", "one fan from two of state 1, state 2 and theta; or a chain of "
                                         "corners from state 1 and several thetas. A negative theta is an "
                                         "isentropic compression; a sharp concave corner makes a shock instead: "
                                         "see shock and corners")),
      table_(app.add_subcommand("table", "a gas table: M, nu, mu, p/p0, T/T0, rho/rho0 over a range")),
      batch_(app.add_subcommand("batch", "cases from CSV, one a line under a header such as M1,theta or "
                                         "M2,theta or M1,M2 (optionally gamma); one record a case")),
      jobs_(defaultJobs())
{
    upstream_.add(*solve_, "1", "ahead of the fan");
    downstream_.add(*solve_, "2", "behind the fan");
    solve_->add_option("--theta", thetas_, "turning angle, degrees; several (5,10 or repeated) chain corners")
        ->type_name("DEG")
        ->delimiter(',');

    auto* machRange = table_->add_option("--M", byMach_, "FROM TO STEP in Mach number")->expected(3);
    auto* nuRange = table_->add_option("--nu", byNu_, "FROM TO STEP in Prandtl-Meyer angle, degrees")->expected(3);
    machRange->excludes(nuRange);

    batch_->add_option("file", batchFile_, "the CSV file, or - for standard input")->check(
        [](const std::string& path) { return path == "-" ? std::string() : CLI::ExistingFile(path); });
    batch_->add_option("--jobs", jobs_, "threads that solve the cases, one a core unless told; the records keep the input's order")
        ->type_name("N")
        ->check(CLI::Range(1, 1024))
        ->capture_default_str();
}

std::optional<int> FanCommands::run(const Settings& settings, Output& out)
{
    if (solve_->parsed()) {
        std::vector<double> thetas;
        for (const auto& text : thetas_)
            thetas.push_back(number("--theta", text));
        return runSolve(settings, upstream_.given("1"), downstream_.given("2"), thetas, out);
    }
    if (table_->parsed()) {
        const bool mach = !byMach_.empty();
        if (!mach && byNu_.empty())
            throw UsageError("table: give a range, --M FROM TO STEP or --nu FROM TO STEP");
        const auto& range = mach ? byMach_ : byNu_;
        const std::string option = mach ? "--M" : "--nu";
        return runTable(settings, mach ? flow::By::Mach : flow::By::Nu, number(option, range[0]),
                        number(option, range[1]), number(option, range[2]), out);
    }
    if (!batch_->parsed())
        return std::nullopt;
    return withInput(batchFile_, [&](std::istream& in) { return runBatch(settings, in, out, jobs_); });
}

}  // namespace velhorn::cli
