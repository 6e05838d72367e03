// halbeet-sim: whole games with four computer seats on the engine, for studying the computer
// players and for checking the engine at scale.

#include <cerrno>
#include <charconv>
#include <chrono>
#include <ctime>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/invariants.h"
#include "core/random.h"
#include "core/selfplay.h"

namespace {

using namespace halbeet;

constexpr std::int64_t kDefaultDeals = 10000;

constexpr const char* kUsage =
    "Usage: halbeet-sim [--seed S] [--deals N] [--trace FILE|-] [--check] [--json] [--help]\n"
    "\n"
    "Plays whole games of Halbeet with four computer seats and prints a summary.\n"
    "\n"
    "  --seed S       the k-th reading of the clock (k = 0, 1, 2, ...) gives (S + k) mod 2^32,\n"
    "                 so a run can be repeated exactly; S is 0..4294967295.\n"
    "                 Without it the dealing is seeded from the real clock.\n"
    "  --deals N      deals to deal, passed ones included (N >= 1, default 10000).\n"
    "  --trace FILE   write every deal as one JSON object per line to FILE ('-': standard\n"
    "                 output; the summary then goes to standard error).\n"
    "  --check        verify the engine's bookkeeping after every card; the first violation\n"
    "                 prints the deal and stops the run.\n"
    "  --json         print the summary as one JSON object.\n"
    "  --help         print this text.\n"
    "\n"
    "Exit status: 0 done, 1 a --check violation, 2 bad arguments, 3 the trace could not be\n"
    "written.\n";

struct Options {
    std::optional<std::uint32_t> seed;
    std::int64_t deals = kDefaultDeals;
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
        const bool takesValue = arg == "--seed" || arg == "--deals" || arg == "--trace";
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

    void add(const DealRecord& r)
    {
        ++deals;
        if (r.passed) {
            ++passed;
            return;
        }
        for (int s = 1; s <= 4; ++s) {
            bidSum[s] += r.bids[s];
            const std::int32_t needed = r.bids[s] >= 14 ? r.bids[s] / 2 : r.bids[s];
            if (r.tricks[s] >= needed)
                ++made[s];
        }
        if (r.winner != 0) {
            ++games;
            ++(r.winner % 2 == 1 ? wins13 : wins24);
        }
    }
};

// seconds by the wall clock; cpuSeconds the processor time this process used, which is the
// fairer figure on a machine that is busy with other work.
void PrintSummary(std::FILE* out, const Totals& t, const Options& opt, double seconds, double cpuSeconds)
{
    const std::int64_t played = t.deals - t.passed;
    const double rate = seconds > 0 ? static_cast<double>(t.deals) / seconds : 0.0;
    const double cpuRate = cpuSeconds > 0 ? static_cast<double>(t.deals) / cpuSeconds : 0.0;
    const auto avg = [&](int s) { return played ? static_cast<double>(t.bidSum[s]) / played : 0.0; };
    const auto made = [&](int s) { return played ? static_cast<double>(t.made[s]) / played : 0.0; };

    if (opt.json) {
        std::fprintf(out, "{\"seed\":");
        if (opt.seed)
            std::fprintf(out, "%u", static_cast<unsigned>(*opt.seed));
        else
            std::fprintf(out, "null");
        std::fprintf(out,
                     ",\"deals\":%lld,\"passed\":%lld,\"played\":%lld,\"games\":%lld,"
                     "\"gamesWon\":{\"seats13\":%lld,\"seats24\":%lld},\"seats\":[",
                     static_cast<long long>(t.deals), static_cast<long long>(t.passed),
                     static_cast<long long>(played), static_cast<long long>(t.games),
                     static_cast<long long>(t.wins13), static_cast<long long>(t.wins24));
        for (int s = 1; s <= 4; ++s)
            std::fprintf(out, "%s{\"seat\":%d,\"averageBid\":%.4f,\"madeRate\":%.4f}", s > 1 ? "," : "",
                         s, avg(s), made(s));
        std::fprintf(out, "],\"seconds\":%.3f,\"cpuSeconds\":%.3f,\"dealsPerSecond\":%.0f,"
                          "\"dealsPerCpuSecond\":%.0f}\n",
                     seconds, cpuSeconds, rate, cpuRate);
        return;
    }

    std::fprintf(out, "Deals:        %lld (%lld played, %lld passed)\n", static_cast<long long>(t.deals),
                 static_cast<long long>(played), static_cast<long long>(t.passed));
    std::fprintf(out, "Games won:    %lld (seats 1 and 3: %lld, seats 2 and 4: %lld)\n",
                 static_cast<long long>(t.games), static_cast<long long>(t.wins13),
                 static_cast<long long>(t.wins24));
    std::fprintf(out, "Per seat, over the played deals (bids in stored form, 7 tricks = 14):\n");
    std::fprintf(out, "  seat  average bid  bids made\n");
    for (int s = 1; s <= 4; ++s)
        std::fprintf(out, "  %4d  %11.2f  %8.1f%%\n", s, avg(s), 100.0 * made(s));
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
    InvariantChecker checker;
    PlayObserver* const observer = opt.check ? &checker : nullptr;

    Totals totals;
    std::string line;
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpuStart = std::clock();
    for (std::int64_t d = 0; d < opt.deals; ++d) {
        const DealOutcome outcome = play.playDeal(observer);
        if (outcome == DealOutcome::Stopped) {
            line.clear();
            AppendDealJson(line, play.lastDeal());
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
    }
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

    PrintSummary(summaryOut, totals, opt, seconds, cpuSeconds);
    return 0;
}
