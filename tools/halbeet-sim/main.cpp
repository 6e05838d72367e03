// SPDX-License-Identifier: GPL-3.0-or-later
// halbeet-sim: whole games with four computer seats on the engine, for studying the computer
// players and for checking the engine at scale.

#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cmath>
#include <ctime>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/bids.h"
#include "core/expert/expert_player.h"
#include "core/invariants.h"
#include "core/random.h"
#include "core/selfplay.h"

namespace {

using namespace halbeet;

constexpr std::int64_t kDefaultDeals = 10000;

constexpr const char* kUsage =
    "Usage: halbeet-sim [--seed S] [--deals N] [--games N] [--players A,B,C,D]\n"
    "                   [--trace FILE|-] [--check] [--json] [--help]\n"
    "\n"
    "Plays whole games of Halbeet with four computer seats and prints a summary.\n"
    "\n"
    "  --seed S       the k-th reading of the clock (k = 0, 1, 2, ...) gives (S + k) mod 2^32,\n"
    "                 so a run can be repeated exactly; S is 0..4294967295.\n"
    "                 Without it the dealing is seeded from the real clock.\n"
    "  --deals N      deals to deal, passed ones included (N >= 1, default 10000 unless\n"
    "                 --games is given).\n"
    "  --games N      stop once N games have been won (N >= 1); with --deals too, at\n"
    "                 whichever limit comes first.\n"
    "  --players A,B,C,D\n"
    "                 the level of seats 1..4, each 'classic' (the fixed rules) or\n"
    "                 'expert' (searches from what its seat may see); default all classic.\n"
    "  --trace FILE   write every deal as one JSON object per line to FILE ('-': standard\n"
    "                 output; the summary then goes to standard error).\n"
    "  --check        verify the engine's bookkeeping after every card; the first violation\n"
    "                 prints the deal and stops the run.\n"
    "  --json         print the summary as one JSON object.\n"
    "  --help         print this text.\n"
    "\n"
    "Exit status: 0 done, 1 a --check violation, 2 bad arguments, 3 the trace could not be\n"
    "written.\n";

enum class Level { Classic, Expert };

struct Options {
    std::optional<std::uint32_t> seed;
    std::int64_t deals = kDefaultDeals;
    bool dealsGiven = false;
    std::optional<std::int64_t> games;
    std::array<Level, 5> players{}; // seats 1..4
    std::string trace; // empty: none
    bool check = false;
    bool json = false;
    bool help = false;
};

template <typename T>
bool ParseNumber(std::string_view text, T& value)
{
    if (text.empty())
        return false;
    const auto res = std::from_chars(text.data(), text.data() + text.size(), value);
    return res.ec == std::errc{} && res.ptr == text.data() + text.size();
}

// "classic,expert,classic,expert": one level per seat, four in all.
std::optional<std::string> ParsePlayers(std::string_view text, std::array<Level, 5>& players)
{
    const std::string bad =
        "--players wants four of 'classic' or 'expert' separated by commas, not '" +
        std::string(text) + "'";
    int seat = 0;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        const std::string_view name =
            text.substr(start, comma == std::string_view::npos ? text.npos : comma - start);
        if (++seat > 4)
            return bad;
        if (name == "classic")
            players[static_cast<std::size_t>(seat)] = Level::Classic;
        else if (name == "expert")
            players[static_cast<std::size_t>(seat)] = Level::Expert;
        else
            return bad;
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    return seat == 4 ? std::nullopt : std::optional<std::string>(bad);
}

// Returns an error message, or nothing when the arguments are sound.
std::optional<std::string> ParseArgs(int argc, char** argv, Options& opt)
{
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        std::optional<std::string_view> inlineValue;
        if (arg.starts_with("--")) {
            if (const auto eq = arg.find('='); eq != std::string_view::npos) {
                inlineValue = arg.substr(eq + 1);
                arg = arg.substr(0, eq);
            }
        }
        const bool takesValue = arg == "--seed" || arg == "--deals" || arg == "--trace" ||
                                arg == "--games" || arg == "--players";
        if (!takesValue && inlineValue)
            return "option " + std::string(arg) + " takes no value";
        std::string_view value;
        if (takesValue) {
            if (inlineValue) {
                value = *inlineValue;
            } else {
                if (i + 1 >= argc)
                    return "option " + std::string(arg) + " needs a value";
                value = argv[++i];
            }
        }

        if (arg == "--seed") {
            std::uint32_t seed = 0;
            if (!ParseNumber(value, seed))
                return "--seed wants a whole number from 0 to 4294967295, not '" + std::string(value) + "'";
            opt.seed = seed;
        } else if (arg == "--deals") {
            std::int64_t deals = 0;
            if (!ParseNumber(value, deals) || deals < 1)
                return "--deals wants a whole number of at least 1, not '" + std::string(value) + "'";
            opt.deals = deals;
            opt.dealsGiven = true;
        } else if (arg == "--games") {
            std::int64_t games = 0;
            if (!ParseNumber(value, games) || games < 1)
                return "--games wants a whole number of at least 1, not '" + std::string(value) + "'";
            opt.games = games;
        } else if (arg == "--players") {
            if (const auto error = ParsePlayers(value, opt.players))
                return error;
        } else if (arg == "--trace") {
            if (value.empty())
                return "--trace wants a file name or '-'";
            opt.trace = value;
        } else if (arg == "--check") {
            opt.check = true;
        } else if (arg == "--json") {
            opt.json = true;
        } else if (arg == "--help" || arg == "-h") {
            opt.help = true;
        } else if (arg.starts_with("-")) {
            return "unknown option '" + std::string(arg) + "'";
        } else {
            return "unexpected argument '" + std::string(arg) + "'";
        }
    }
    return std::nullopt;
}

struct Totals {
    std::int64_t deals = 0;
    std::int64_t passed = 0;
    std::int64_t games = 0; // games won
    std::int64_t wins13 = 0;
    std::int64_t wins24 = 0;
    PerSeat<std::int64_t> bidSum{};
    PerSeat<std::int64_t> made{};
    PerSeat<std::int64_t> scoreChange{}; // summed over the played deals
    PerSeat<std::int32_t> lastScores{};  // the scores before the next deal

    void add(const DealRecord& r)
    {
        ++deals;
        if (r.passed) {
            ++passed;
            return;
        }
        for (int s = 1; s <= 4; ++s) {
            bidSum[s] += r.bids[s];
            if (BidMade(r.bids[s], r.tricks[s]))
                ++made[s];
            scoreChange[s] += r.scores[s] - lastScores[s];
        }
        // A won game starts the next one from 0.
        lastScores = r.winner != 0 ? PerSeat<std::int32_t>{} : r.scores;
        if (r.winner != 0) {
            ++games;
            ++(r.winner % 2 == 1 ? wins13 : wins24);
        }
    }
};

// The 95 % Wilson score interval of a share of wins out of n games.
struct Interval {
    double share = 0, low = 0, high = 0;
};

Interval WinInterval(std::int64_t wins, std::int64_t n)
{
    if (n <= 0)
        return {};
    constexpr double z = 1.959964;
    const double nn = static_cast<double>(n);
    const double p = static_cast<double>(wins) / nn;
    const double denom = 1 + z * z / nn;
    const double centre = (p + z * z / (2 * nn)) / denom;
    const double half = z * std::sqrt(p * (1 - p) / nn + z * z / (4 * nn * nn)) / denom;
    return {p, std::max(0.0, centre - half), std::min(1.0, centre + half)};
}

// The time an Expert seat took per decision, in processor time of the thread (one core's
// work, whatever else the machine is doing).
struct DecisionTimes {
    std::vector<double> cardMs;
    std::vector<double> bidMs;
};

struct Spread {
    std::size_t count = 0;
    double median = 0, p99 = 0;
};

Spread SpreadOf(std::vector<double> ms)
{
    if (ms.empty())
        return {};
    std::sort(ms.begin(), ms.end());
    return {ms.size(), ms[ms.size() / 2], ms[std::min(ms.size() - 1, ms.size() * 99 / 100)]};
}

double ThreadMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

// An Expert seat that notes how long each of its decisions took.
class TimedExpert final : public Player {
public:
    TimedExpert(std::uint64_t seed, DecisionTimes& times) : m_expert(seed), m_times(times) {}

    std::int32_t chooseBid(const GameModel& game, int seat) override
    {
        const double t0 = ThreadMs();
        const std::int32_t bid = m_expert.chooseBid(game, seat);
        m_times.bidMs.push_back(ThreadMs() - t0);
        return bid;
    }
    TCardFace chooseCard(const GameModel& game, int seat) override
    {
        const double t0 = ThreadMs();
        const TCardFace card = m_expert.chooseCard(game, seat);
        m_times.cardMs.push_back(ThreadMs() - t0);
        return card;
    }

private:
    ExpertPlayer m_expert;
    DecisionTimes& m_times;
};

const char* LevelName(Level level) { return level == Level::Expert ? "expert" : "classic"; }

// Games done, elapsed and the time left, on one line of the terminal that is redrawn.
class Progress {
public:
    Progress(const Options& opt, bool enabled) : m_opt(opt), m_enabled(enabled) {}

    void update(const Totals& t, std::int64_t dealsDone)
    {
        if (!m_enabled)
            return;
        const auto now = std::chrono::steady_clock::now();
        const double elapsed = std::chrono::duration<double>(now - m_start).count();
        if (elapsed < 3.0 || now - m_last < std::chrono::milliseconds(500))
            return;
        m_last = now;
        double done = 0;
        if (m_opt.games)
            done = static_cast<double>(t.games) / static_cast<double>(*m_opt.games);
        if (!m_opt.games || m_opt.dealsGiven)
            done = std::max(done, static_cast<double>(dealsDone) / static_cast<double>(m_opt.deals));
        const double left = done > 0 ? elapsed * (1 - done) / done : 0;
        std::string doneText;
        if (m_opt.games)
            doneText = std::to_string(t.games) + " of " + std::to_string(*m_opt.games) + " games, " +
                    std::to_string(dealsDone) + " deals";
        else
            doneText = std::to_string(dealsDone) + " of " + std::to_string(m_opt.deals) + " deals, " +
                    std::to_string(t.games) + " games";
        std::fprintf(stderr, "\r\033[K%s, %s elapsed, about %s left", doneText.c_str(),
                     Duration(elapsed).c_str(), Duration(left).c_str());
        std::fflush(stderr);
        m_shown = true;
    }
    void finish()
    {
        if (m_shown)
            std::fprintf(stderr, "\r\033[K");
    }

private:
    static std::string Duration(double seconds)
    {
        const long s = std::lround(seconds);
        char buf[32];
        if (s >= 60)
            std::snprintf(buf, sizeof buf, "%ld min %02ld s", s / 60, s % 60);
        else
            std::snprintf(buf, sizeof buf, "%ld s", s);
        return buf;
    }

    const Options& m_opt;
    bool m_enabled;
    bool m_shown = false;
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point m_last{};
};

// seconds by the wall clock; cpuSeconds the processor time this process used, which is the
// fairer figure on a machine that is busy with other work.
void PrintSummary(std::FILE* out, const Totals& t, const Options& opt, const DecisionTimes& times,
                  double seconds, double cpuSeconds)
{
    const std::int64_t played = t.deals - t.passed;
    const double rate = seconds > 0 ? static_cast<double>(t.deals) / seconds : 0.0;
    const double cpuRate = cpuSeconds > 0 ? static_cast<double>(t.deals) / cpuSeconds : 0.0;
    const auto avg = [&](int s) { return played ? static_cast<double>(t.bidSum[s]) / played : 0.0; };
    const auto made = [&](int s) { return played ? static_cast<double>(t.made[s]) / played : 0.0; };
    const auto change = [&](int s) {
        return played ? static_cast<double>(t.scoreChange[s]) / played : 0.0;
    };
    const Interval w13 = WinInterval(t.wins13, t.games);
    const Interval w24 = WinInterval(t.wins24, t.games);
    const bool anyExpert = std::count(opt.players.begin() + 1, opt.players.end(), Level::Expert) > 0;
    const Spread cards = SpreadOf(times.cardMs);
    const Spread bids = SpreadOf(times.bidMs);

    if (opt.json) {
        std::fprintf(out, "{\"seed\":");
        if (opt.seed)
            std::fprintf(out, "%u", static_cast<unsigned>(*opt.seed));
        else
            std::fprintf(out, "null");
        std::fprintf(out,
                     ",\"deals\":%lld,\"passed\":%lld,\"played\":%lld,\"games\":%lld,"
                     "\"gamesWon\":{\"seats13\":%lld,\"seats24\":%lld,"
                     "\"share13\":%.4f,\"interval13\":[%.4f,%.4f],"
                     "\"share24\":%.4f,\"interval24\":[%.4f,%.4f]},\"players\":[",
                     static_cast<long long>(t.deals), static_cast<long long>(t.passed),
                     static_cast<long long>(played), static_cast<long long>(t.games),
                     static_cast<long long>(t.wins13), static_cast<long long>(t.wins24), w13.share,
                     w13.low, w13.high, w24.share, w24.low, w24.high);
        for (int s = 1; s <= 4; ++s)
            std::fprintf(out, "%s\"%s\"", s > 1 ? "," : "", LevelName(opt.players[static_cast<std::size_t>(s)]));
        std::fprintf(out, "],\"seats\":[");
        for (int s = 1; s <= 4; ++s)
            std::fprintf(out, "%s{\"seat\":%d,\"averageBid\":%.4f,\"madeRate\":%.4f,\"scoreChange\":%.4f}",
                         s > 1 ? "," : "", s, avg(s), made(s), change(s));
        std::fprintf(out, "]");
        if (anyExpert) {
            std::fprintf(out,
                         ",\"expertMs\":{\"cards\":{\"count\":%zu,\"median\":%.3f,\"p99\":%.3f},"
                         "\"bids\":{\"count\":%zu,\"median\":%.3f,\"p99\":%.3f}}",
                         cards.count, cards.median, cards.p99, bids.count, bids.median, bids.p99);
        }
        std::fprintf(out, ",\"seconds\":%.3f,\"cpuSeconds\":%.3f,\"dealsPerSecond\":%.0f,"
                          "\"dealsPerCpuSecond\":%.0f}\n",
                     seconds, cpuSeconds, rate, cpuRate);
        return;
    }

    std::fprintf(out, "Players:      %s, %s, %s, %s (seats 1..4)\n", LevelName(opt.players[1]),
                 LevelName(opt.players[2]), LevelName(opt.players[3]), LevelName(opt.players[4]));
    std::fprintf(out, "Deals:        %lld (%lld played, %lld passed)\n", static_cast<long long>(t.deals),
                 static_cast<long long>(played), static_cast<long long>(t.passed));
    std::fprintf(out, "Games won:    %lld (seats 1 and 3: %lld, seats 2 and 4: %lld)\n",
                 static_cast<long long>(t.games), static_cast<long long>(t.wins13),
                 static_cast<long long>(t.wins24));
    if (t.games > 0) {
        std::fprintf(out, "  seats 1 and 3: %5.1f%% (95%% interval %.1f%% to %.1f%%)\n", 100 * w13.share,
                     100 * w13.low, 100 * w13.high);
        std::fprintf(out, "  seats 2 and 4: %5.1f%% (95%% interval %.1f%% to %.1f%%)\n", 100 * w24.share,
                     100 * w24.low, 100 * w24.high);
    }
    std::fprintf(out, "Per seat, over the played deals (bids in stored form, 7 tricks = 14):\n");
    std::fprintf(out, "  seat  level    average bid  bids made  score change per deal\n");
    for (int s = 1; s <= 4; ++s)
        std::fprintf(out, "  %4d  %-7s  %11.2f  %8.1f%%  %+21.2f\n", s,
                     LevelName(opt.players[static_cast<std::size_t>(s)]), avg(s), 100.0 * made(s), change(s));
    if (anyExpert) {
        std::fprintf(out, "Expert decisions (processor time of one thread):\n");
        std::fprintf(out, "  cards: %zu, median %.2f ms, 99th percentile %.2f ms\n", cards.count,
                     cards.median, cards.p99);
        std::fprintf(out, "  bids:  %zu, median %.2f ms, 99th percentile %.2f ms\n", bids.count,
                     bids.median, bids.p99);
    }
    std::fprintf(out, "Wall clock:   %.3f s, %.0f deals per second\n", seconds, rate);
    std::fprintf(out, "Processor:    %.3f s, %.0f deals per second\n", cpuSeconds, cpuRate);
}

struct FileCloser {
    void operator()(std::FILE* f) const
    {
        if (f && f != stdout)
            std::fclose(f);
    }
};

} // namespace

int main(int argc, char** argv)
{
    Options opt;
    if (const auto error = ParseArgs(argc, argv, opt)) {
        std::fprintf(stderr, "halbeet-sim: %s\n\n%s", error->c_str(), kUsage);
        return 2;
    }
    if (opt.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }

    std::unique_ptr<std::FILE, FileCloser> trace;
    if (opt.trace == "-") {
        trace.reset(stdout);
    } else if (!opt.trace.empty()) {
        trace.reset(std::fopen(opt.trace.c_str(), "w"));
        if (!trace) {
            std::fprintf(stderr, "halbeet-sim: cannot open trace file '%s': %s\n", opt.trace.c_str(),
                         std::strerror(errno));
            return 3;
        }
    }
    std::FILE* const summaryOut = opt.trace == "-" ? stderr : stdout;

    SeedSource seeds;
    if (opt.seed) {
        seeds = [next = *opt.seed]() mutable { return next++; }; // wraps mod 2^32
    } else {
        seeds = ClockSeed;
    }
    SelfPlay play(std::move(seeds));
    // The Experts' own chance comes from the seed too, so a run repeats exactly.
    DecisionTimes times;
    std::vector<std::unique_ptr<TimedExpert>> experts;
    const std::uint64_t expertSeed = opt.seed ? *opt.seed : ClockSeed();
    for (int seat = 1; seat <= 4; ++seat) {
        if (opt.players[static_cast<std::size_t>(seat)] != Level::Expert)
            continue;
        experts.push_back(std::make_unique<TimedExpert>(expertSeed, times));
        play.setPlayer(seat, experts.back().get());
    }
    InvariantChecker checker;
    for (int seat = 1; seat <= 4; ++seat)
        checker.setClassicSeat(seat, opt.players[static_cast<std::size_t>(seat)] == Level::Classic);
    PlayObserver* const observer = opt.check ? &checker : nullptr;

    Totals totals;
    std::string line;
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpuStart = std::clock();
    // Progress only where a person watches, and never mixed into the summary or a trace.
    Progress progress(opt, !opt.json && isatty(STDERR_FILENO) && isatty(STDOUT_FILENO));
    const bool dealLimit = opt.dealsGiven || !opt.games;
    for (std::int64_t d = 0; (!dealLimit || d < opt.deals) && (!opt.games || totals.games < *opt.games); ++d) {
        const DealOutcome outcome = play.playDeal(observer);
        if (outcome == DealOutcome::Stopped) {
            line.clear();
            AppendDealJson(line, play.lastDeal());
            progress.finish();
            std::fprintf(stderr, "halbeet-sim: check failed in deal %lld: %s\nThe deal so far:\n%s",
                         static_cast<long long>(play.lastDeal().deal), checker.violation().c_str(),
                         line.c_str());
            return 1;
        }
        totals.add(play.lastDeal());
        if (trace) {
            line.clear();
            AppendDealJson(line, play.lastDeal());
            // Stop at the first refused write (a full disk), not after every deal has run.
            if (std::fwrite(line.data(), 1, line.size(), trace.get()) != line.size() ||
                std::ferror(trace.get())) {
                std::fprintf(stderr, "halbeet-sim: writing the trace '%s' failed: %s\n",
                             opt.trace.c_str(), std::strerror(errno));
                return 3;
            }
        }
        progress.update(totals, d + 1);
    }
    progress.finish();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double cpuSeconds = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;

    if (trace && (std::fflush(trace.get()) != 0 || std::ferror(trace.get()))) {
        std::fprintf(stderr, "halbeet-sim: writing the trace '%s' failed: %s\n", opt.trace.c_str(),
                     std::strerror(errno));
        return 3;
    }
    if (trace && trace.get() != stdout && std::fclose(trace.release()) != 0) {
        std::fprintf(stderr, "halbeet-sim: closing the trace '%s' failed: %s\n", opt.trace.c_str(),
                     std::strerror(errno));
        return 3;
    }

    PrintSummary(summaryOut, totals, opt, times, seconds, cpuSeconds);
    return 0;
}
