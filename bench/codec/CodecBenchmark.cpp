// Throughput of the cipher and the file layer on the largest config file, each beside
// memcpy of the same 65,532 bytes measured in the same run. The ratios come from rounds in
// which memcpy and the cipher take turns, so that a load on the machine falls on both
// alike: the median over the rounds of each round's memcpy time over the cipher's, by the
// processor time this thread used and by the clock on the wall.
#include "Encryption.h"
#include "modUnicodeRW.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <stdlib.h>

namespace {

constexpr std::size_t Units = 32766; // the longest text the cipher takes
constexpr std::size_t Bytes = 2 * Units;

// Config-like text: printable ASCII in lines, every unit kept by a round trip.
std::u16string ConfigText()
{
    std::u16string text;
    for (std::size_t i = 0; text.size() < Units; ++i)
        text.push_back(i % 40 == 38 ? u'\r' : i % 40 == 39 ? u'\n' : char16_t(0x20 + i % 95));
    return text;
}

void Memcpy(benchmark::State &state)
{
    std::vector<char> from(Bytes, 'x');
    std::vector<char> to(Bytes);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), Bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Bytes));
}

void EnCryptText(benchmark::State &state)
{
    const std::u16string text = ConfigText();
    for (auto _ : state) {
        std::u16string enciphered = EnCrypt(text, DocumentKey);
        benchmark::DoNotOptimize(enciphered.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Bytes));
}

void DeCryptText(benchmark::State &state)
{
    const std::u16string enciphered = EnCrypt(ConfigText(), DocumentKey);
    for (auto _ : state) {
        std::u16string text = DeCrypt(enciphered, DocumentKey);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Bytes));
}

void WriteReadFile(benchmark::State &state)
{
    std::string folder = (std::filesystem::temp_directory_path() / "bench-codec-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const std::u16string path = std::filesystem::path(folder + "/bench.cfg").u16string();
    const std::u16string enciphered = EnCrypt(ConfigText(), DocumentKey);
    for (auto _ : state) {
        WriteUnicodeFile(path, enciphered, false);
        std::u16string back = ReadUnicodeFile(path, false);
        benchmark::DoNotOptimize(back.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Bytes));
    std::filesystem::remove_all(folder);
}

BENCHMARK(Memcpy);
BENCHMARK(EnCryptText);
BENCHMARK(DeCryptText);
BENCHMARK(WriteReadFile);

struct Clocks
{
    double processor = 0; // seconds of this thread
    double wall = 0;
};

Clocks Now()
{
    timespec cpu{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu);
    return {
        double(cpu.tv_sec) + double(cpu.tv_nsec) / 1e9,
        std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count()};
}

template <typename Work> Clocks Time(int repeats, Work &&work)
{
    const Clocks start = Now();
    for (int i = 0; i < repeats; ++i)
        work();
    const Clocks end = Now();
    return {end.processor - start.processor, end.wall - start.wall};
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// memcpy, EnCrypt and DeCrypt in turn, round after round; prints the median ratios.
void RaceAgainstMemcpy()
{
    constexpr int Rounds = 401;
    constexpr int Repeats = 40;
    const std::u16string text = ConfigText();
    const std::u16string enciphered = EnCrypt(text, DocumentKey);
    std::vector<char> from(Bytes, 'x');
    std::vector<char> to(Bytes);
    std::vector<double> enCpu, enWall, deCpu, deWall;
    for (int round = 0; round < Rounds; ++round) {
        const Clocks copy = Time(Repeats, [&] {
            std::memcpy(to.data(), from.data(), Bytes);
            benchmark::DoNotOptimize(to.data());
            benchmark::ClobberMemory();
        });
        const Clocks en = Time(Repeats, [&] {
            std::u16string result = EnCrypt(text, DocumentKey);
            benchmark::DoNotOptimize(result.data());
        });
        const Clocks de = Time(Repeats, [&] {
            std::u16string result = DeCrypt(enciphered, DocumentKey);
            benchmark::DoNotOptimize(result.data());
        });
        enCpu.push_back(copy.processor / en.processor);
        enWall.push_back(copy.wall / en.wall);
        deCpu.push_back(copy.processor / de.processor);
        deWall.push_back(copy.wall / de.wall);
    }
    std::printf("%d rounds interleaved, medians of each round's throughput ratio to memcpy "
                "(goal >= 0.50):\n",
                Rounds);
    std::printf("EnCrypt/memcpy throughput: %.3f by processor time, %.3f by wall clock\n",
                Median(enCpu), Median(enWall));
    std::printf("DeCrypt/memcpy throughput: %.3f by processor time, %.3f by wall clock\n",
                Median(deCpu), Median(deWall));
}

// Shows the runs as usual and keeps each one's time per iteration for the ratios.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                seconds_[run.run_name.str()] =
                    run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
        ConsoleReporter::ReportRuns(runs);
    }

    // A save syncs the file to disk, so its time is the disk's more than the code's:
    // shown as times rather than as a ratio.
    void PrintTimes(const char *label, const std::string &name) const
    {
        const auto base = seconds_.find("Memcpy");
        const auto it = seconds_.find(name);
        if (base == seconds_.end() || it == seconds_.end())
            return;
        std::printf("%s of %zu bytes: %.3f ms (memcpy: %.4f ms)\n", label, Bytes, it->second * 1e3,
                    base->second * 1e3);
    }

private:
    std::map<std::string, double> seconds_;
};

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::fflush(stdout);
    RaceAgainstMemcpy();
    reporter.PrintTimes("WriteUnicodeFile+ReadUnicodeFile", "WriteReadFile");
    return 0;
}
