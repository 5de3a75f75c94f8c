// Throughput of the cipher and the file layer on the largest config file, each beside
// memcpy of the same 65,532 bytes measured in the same run, and their ratios.
#include "Encryption.h"
#include "modUnicodeRW.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
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

    // Same bytes in each, so the throughput ratio is the inverse ratio of the times.
    void PrintRatio(const char *label, const std::string &name, const char *goal) const
    {
        const auto base = seconds_.find("Memcpy");
        const auto it = seconds_.find(name);
        if (base == seconds_.end() || it == seconds_.end() || it->second <= 0)
            return;
        std::printf("%s/memcpy throughput: %.3f%s\n", label, base->second / it->second, goal);
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
    reporter.PrintRatio("EnCrypt", "EnCryptText", " (goal >= 0.25)");
    reporter.PrintRatio("DeCrypt", "DeCryptText", " (goal >= 0.10)");
    reporter.PrintTimes("WriteUnicodeFile+ReadUnicodeFile", "WriteReadFile");
    return 0;
}
