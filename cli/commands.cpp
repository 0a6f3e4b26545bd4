#include "cli/commands.h"

#include "cli/batch.h"
#include "press/records.h"
#include "press/table_range.h"
#include "text/number_text.h"
#include "text/fields.h"

#if defined(__linux__)
#include <sched.h>
#endif

#include <algorithm>
#include <array>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <istream>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace velhorn::cli {

namespace {

constexpr std::string_view kStepKeys[] = {"from_state", "to_state"};

}  // namespace

void complain(const std::string& what)
{
    std::fprintf(stderr, "velhorn-cli: %s\n", what.c_str());
}

int runSolve(const Settings& settings, std::optional<flow::Given> upstream, std::optional<flow::Given> downstream,
             const std::vector<double>& thetas, Output& out)
{
    if (thetas.size() > 1) {
        if (!upstream || downstream) {
            complain("several turning angles need state 1 (--M1, --nu1 or --mu1) and no state 2");
            return kUsage;
        }
        const auto chain = flow::solveChain(settings.gas, *upstream, thetas);
        if (const auto* problem = std::get_if<flow::Problem>(&chain)) {
            complain(press::problemText(*problem, settings.digits));
            return kNoSolution;
        }
        const auto& fans = std::get<std::vector<flow::Fan>>(chain);
        RecordWriter writer(out, settings.format, settings.digits, {std::begin(kStepKeys), std::end(kStepKeys)},
                            press::kFanColumns);
        for (std::size_t i = 0; i < fans.size(); ++i) {
            const bool overall = i + 1 == fans.size();
            const long long keys[] = {overall ? 1 : static_cast<long long>(i) + 1,
                                      overall ? static_cast<long long>(i) + 1 : static_cast<long long>(i) + 2};
            writer.write(keys, press::fanValues(fans[i]));
        }
        writer.finish();
        return kSolved;
    }
    const std::optional<double> theta = thetas.empty() ? std::nullopt : std::optional(thetas.front());
    if (int(upstream.has_value()) + int(downstream.has_value()) + int(theta.has_value()) != 2) {
        complain("give exactly two of state 1 (--M1, --nu1 or --mu1), state 2 (--M2, --nu2 or --mu2) and --theta");
        return kUsage;
    }
    const auto fan = flow::solveFan(settings.gas, upstream, downstream, theta);
    if (const auto* problem = std::get_if<flow::Problem>(&fan)) {
        complain(press::problemText(*problem, settings.digits));
        return kNoSolution;
    }
    RecordWriter writer(out, settings.format, settings.digits, {}, press::kFanColumns);
    writer.write({}, press::fanValues(std::get<flow::Fan>(fan)));
    writer.finish();
    return kSolved;
}

int runTable(const Settings& settings, flow::By by, double from, double to, double step, Output& out)
{
    const auto range = press::tableRange(from, to, step);
    if (!range) {
        complain(std::string(press::kTableRangeRule));
        return kUsage;
    }
    for (double end : {from, to}) {
        const auto state = flow::tableState(settings.gas, flow::Given{by, end});
        if (const auto* problem = std::get_if<flow::Problem>(&state)) {
            complain(press::problemText(*problem, settings.digits));
            return kNoSolution;
        }
    }
    RecordWriter writer(out, settings.format, settings.digits, {}, press::kStateColumns);
    // A block of rows at a time, which the core may work several at once.
    constexpr long long kBlock = 256;
    std::array<double, kBlock> xs;
    std::array<std::variant<flow::State, flow::Problem>, kBlock> states;
    for (long long first = 0; first < range->count; first += kBlock) {
        const auto count = static_cast<std::size_t>(std::min(kBlock, range->count - first));
        for (std::size_t i = 0; i < count; ++i)
            xs[i] = range->at(first + static_cast<long long>(i));
        flow::tableStates(settings.gas, by, {xs.data(), count}, {states.data(), count});
        for (std::size_t i = 0; i < count; ++i) {
            if (const auto* problem = std::get_if<flow::Problem>(&states[i])) {
                complain(press::problemText(*problem, settings.digits));
                return kNoSolution;
            }
            writer.write({}, press::stateValues(std::get<flow::State>(states[i])));
        }
    }
    writer.finish();
    return kSolved;
}

namespace {

// A run of batch lines, solved together on one thread and written in their turn. Its buffers
// keep their size from chunk to chunk, touched once at the start, so a batch of any length uses
// the memory of a short one.
struct Chunk {
    static constexpr std::size_t kLines = 1024;
    static constexpr std::size_t kTextBytes = kLines * 512;
    std::string input;                                    // the lines, one after another
    std::vector<std::pair<long long, std::size_t>> lines; // each line's number and end in `input`
    std::string text;                                     // CSV or TSV records, ready to write
    std::vector<std::pair<long long, std::array<double, press::kFanColumns.size()>>> records;  // other formats
    std::vector<std::string> complaints;
    // Each line's fan or why it has none, and the fans from M1 and theta solved together.
    std::vector<std::variant<flow::Fan, std::string>> outcomes;
    struct Together {
        double M1;
        double theta;
        std::size_t line;
    };
    std::vector<Together> together;
    // What each line gave and how it was written, for the columns that echo it.
    std::vector<std::pair<std::array<double, 3>, std::array<std::string_view, 3>>> given;
    std::vector<double> M1, theta;
    std::vector<std::variant<flow::Fan, flow::Problem>> solved;
    bool done = false;

    Chunk()
    {
        for (std::string* buffer : {&input, &text}) {
            buffer->resize(kTextBytes);
            buffer->clear();
        }
        const auto touched = [](auto& buffer) {
            buffer.resize(kLines);
            buffer.clear();
        };
        touched(lines);
        touched(records);
        touched(outcomes);
        touched(given);
        touched(together);
        touched(M1);
        touched(theta);
        touched(solved);
    }
    void clear()
    {
        input.clear();
        lines.clear();
        text.clear();
        records.clear();
        complaints.clear();
        done = false;
    }
};

// Solves every line of a chunk: records as text where the format is CSV or TSV (the most of a
// row's cost, so it runs on the workers too), else as values for the writer. The lines' fans
// from M1 and theta in the command's gas are solved together, which the core may work several
// at once; the rest one by one. Complaints and records keep the lines' order.
void solveChunk(const Settings& settings, const BatchLayout& layout, Chunk& chunk)
{
    const bool delimited = settings.format == Format::Csv || settings.format == Format::Tsv;
    const char separator = settings.format == Format::Csv ? ',' : '\t';
    std::optional<flow::Gas> lineGas;  // the last gamma a line gave, kept while lines repeat it
    std::size_t begin = 0;
    chunk.outcomes.clear();
    chunk.given.clear();
    chunk.together.clear();
    for (const auto& numbered : chunk.lines) {
        const std::string_view line(chunk.input.data() + begin, std::get<1>(numbered) - begin);
        begin = std::get<1>(numbered);
        auto& outcome = chunk.outcomes.emplace_back();
        auto& given = chunk.given.emplace_back();
        const auto parsed = readBatchCase(layout, line);
        if (const auto* error = std::get_if<std::string>(&parsed)) {
            outcome = *error;
            continue;
        }
        const BatchCase& c = std::get<BatchCase>(parsed);
        given = {c.values, c.texts};
        const flow::Gas* gas = &settings.gas;
        if (c.gamma) {
            if (!lineGas || lineGas->gamma() != *c.gamma) {
                try {
                    lineGas.emplace(*c.gamma);
                } catch (const std::invalid_argument& e) {
                    lineGas.reset();
                    outcome = "gamma = " + text::roundedNumber(*c.gamma, settings.digits) + ": " + e.what();
                    continue;
                }
            }
            gas = &*lineGas;
        }
        if (!c.gamma && c.upstream && c.upstream->by == flow::By::Mach && c.theta && !c.downstream) {
            chunk.together.push_back({c.upstream->value, *c.theta, chunk.outcomes.size() - 1});
            continue;
        }
        const auto fan = flow::solveFan(*gas, c.upstream, c.downstream, c.theta);
        if (const auto* problem = std::get_if<flow::Problem>(&fan))
            outcome = press::problemText(*problem, settings.digits);
        else
            outcome = std::get<flow::Fan>(fan);
    }
    if (!chunk.together.empty()) {
        const std::size_t n = chunk.together.size();
        chunk.M1.resize(n);
        chunk.theta.resize(n);
        chunk.solved.resize(n);
        for (std::size_t i = 0; i < n; ++i) {
            chunk.M1[i] = chunk.together[i].M1;
            chunk.theta[i] = chunk.together[i].theta;
        }
        flow::solveFans(settings.gas, chunk.M1, chunk.theta, chunk.solved);
        for (std::size_t i = 0; i < n; ++i) {
            auto& outcome = chunk.outcomes[chunk.together[i].line];
            if (const auto* problem = std::get_if<flow::Problem>(&chunk.solved[i]))
                outcome = press::problemText(*problem, settings.digits);
            else
                outcome = std::get<flow::Fan>(chunk.solved[i]);
        }
    }
    // A chunk's rows as RecordWriter writes them: a value that repeats its column's in the row
    // before (gamma, the gas's largest turn) or that a line gave in a text already its own takes
    // that text, and the rest are written anew.
    text::ValueRows rows;
    for (std::size_t i = 0; i < chunk.lines.size(); ++i) {
        const auto number = std::get<0>(chunk.lines[i]);
        if (const auto* why = std::get_if<std::string>(&chunk.outcomes[i])) {
            chunk.complaints.push_back("line " + std::to_string(number) + ": " + *why);
            continue;
        }
        const auto values = press::fanValues(std::get<flow::Fan>(chunk.outcomes[i]));
        if (delimited) {
            std::array<std::string_view, press::kFanColumns.size()> texts{};
            const auto& [typed, typedTexts] = chunk.given[i];
            for (std::size_t j = 0; j < layout.columns.size(); ++j) {
                const std::size_t column = fanColumnOf(layout.columns[j]);
                if (values[column] == typed[j] && text::isShortestText(typedTexts[j]))
                    texts[column] = typedTexts[j];
            }
            chunk.text += std::to_string(number);
            chunk.text += separator;
            rows.append(chunk.text, values, separator, texts);
        } else {
            chunk.records.emplace_back(number, values);
        }
    }
}

// Threads that solve chunks in any order while the caller hands them out and takes them back
// in order.
class Workers {
public:
    Workers(int count, const Settings& settings, const BatchLayout& layout, std::vector<Chunk>& chunks)
        : settings_(settings), layout_(layout), chunks_(chunks)
    {
        for (int i = 0; i < count; ++i)
            threads_.emplace_back([this] { work(); });
    }
    ~Workers()
    {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        for (auto& thread : threads_)
            thread.join();
    }
    // Chunk number `sequence` (of chunks[sequence % size]) is filled and may be solved.
    void submit(std::size_t sequence)
    {
        {
            const std::lock_guard lock(mutex_);
            submitted_ = sequence + 1;
        }
        wake_.notify_one();
    }
    void waitFor(Chunk& chunk)
    {
        std::unique_lock lock(mutex_);
        finished_.wait(lock, [&] { return chunk.done; });
    }

private:
    void work()
    {
        std::unique_lock lock(mutex_);
        while (true) {
            wake_.wait(lock, [&] { return stopping_ || taken_ < submitted_; });
            if (taken_ >= submitted_)
                return;
            Chunk& chunk = chunks_[taken_++ % chunks_.size()];
            lock.unlock();
            solveChunk(settings_, layout_, chunk);
            lock.lock();
            chunk.done = true;
            finished_.notify_all();
        }
    }

    const Settings& settings_;
    const BatchLayout& layout_;
    std::vector<Chunk>& chunks_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable finished_;
    std::size_t submitted_ = 0;
    std::size_t taken_ = 0;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace

int defaultJobs()
{
#if defined(__linux__)
    // The cores this process may run on (taskset, a container's quota of CPUs), not all the machine's.
    cpu_set_t cores;
    if (sched_getaffinity(0, sizeof cores, &cores) == 0)
        return std::max(1, CPU_COUNT(&cores));
#endif
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

int runBatch(const Settings& settings, std::istream& in, Output& out, int jobs)
{
    std::string line;
    long long number = 0;
    std::optional<BatchLayout> layout;
    while (!layout && std::getline(in, line)) {
        ++number;
        if (isBlankOrComment(line))
            continue;
        auto header = readBatchHeader(line);
        if (const auto* error = std::get_if<std::string>(&header)) {
            complain("line " + std::to_string(number) + ": " + *error);
            return kUsage;
        }
        layout = std::get<BatchLayout>(header);
    }
    if (!layout) {
        complain("the cases have no header line naming their columns, such as M1,theta");
        return kUsage;
    }
    constexpr std::string_view kLineKey[] = {"line"};
    RecordWriter writer(out, settings.format, settings.digits, {std::begin(kLineKey), std::end(kLineKey)},
                        press::kFanColumns);
    bool failed = false;
    const auto fill = [&](Chunk& chunk) {
        chunk.clear();
        while (chunk.lines.size() < Chunk::kLines && std::getline(in, line)) {
            ++number;
            if (isBlankOrComment(line))
                continue;
            chunk.input += line;
            chunk.lines.emplace_back(number, chunk.input.size());
        }
        return !chunk.lines.empty();
    };
    const auto emit = [&](Chunk& chunk) {
        for (const std::string& complaint : chunk.complaints)
            complain(complaint);
        failed = failed || !chunk.complaints.empty();
        out.write(chunk.text);
        for (const auto& [key, values] : chunk.records) {
            const long long keys[] = {key};
            writer.write(keys, values);
        }
    };
    jobs = std::max(1, jobs);
    if (jobs == 1) {
        Chunk chunk;
        while (fill(chunk)) {
            solveChunk(settings, *layout, chunk);
            emit(chunk);
        }
    } else {
        // Two chunks a thread: one being solved, one waiting, while the oldest is written.
        std::vector<Chunk> chunks(2 * static_cast<std::size_t>(jobs));
        Workers workers(jobs, settings, *layout, chunks);
        std::size_t filled = 0;
        std::size_t written = 0;
        while (true) {
            if (filled - written == chunks.size()) {
                Chunk& oldest = chunks[written++ % chunks.size()];
                workers.waitFor(oldest);
                emit(oldest);
            }
            if (!fill(chunks[filled % chunks.size()]))
                break;
            workers.submit(filled++);
        }
        while (written < filled) {
            Chunk& oldest = chunks[written++ % chunks.size()];
            workers.waitFor(oldest);
            emit(oldest);
        }
    }
    writer.finish();
    return failed ? kNoSolution : kSolved;
}

}  // namespace velhorn::cli
