// torvane-cfg decoding and encoding the largest config file, each as a whole process from
// exec to exit, beside iconv turning the same UTF-16 bytes into UTF-8. The three run in
// turn within each round, so that a load on the machine falls on all of them alike; the
// figures are medians over the rounds of each one's time divided by iconv's in that round,
// by the clock on the wall and by the processor time the process used. Another build of
// the tool to race may be named as the one argument.

#include "Encryption.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

constexpr std::size_t Units = 32766; // the longest text a config file holds
constexpr int Rounds = 151;

struct Timing
{
    double wall = 0; // seconds
    double cpu = 0;  // user and system seconds
};

// Config-like text: printable ASCII in CR LF lines, every character kept by the cipher.
std::u16string ConfigText()
{
    std::u16string text;
    for (std::size_t i = 0; text.size() < Units; ++i)
        text.push_back(i % 40 == 38 ? u'\r' : i % 40 == 39 ? u'\n' : char16_t(0x20 + i % 95));
    return text;
}

void WriteBytes(const std::filesystem::path &path, const std::string &bytes)
{
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

double Seconds(const timeval &time)
{
    return double(time.tv_sec) + double(time.tv_usec) / 1e6;
}

// Runs `argv` with standard input from `input` and standard output to /dev/null; an
// empty result when it cannot start or does not succeed.
std::optional<Timing> Run(const std::vector<std::string> &argv, const std::string &input)
{
    std::vector<char *> args;
    for (const std::string &arg : argv)
        args.push_back(const_cast<char *>(arg.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, input.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return std::nullopt;
    int status = 0;
    rusage usage{};
    if (::wait4(pid, &status, 0, &usage) != pid)
        return std::nullopt;
    const auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return Timing{std::chrono::duration<double>(end - start).count(),
                  Seconds(usage.ru_utime) + Seconds(usage.ru_stime)};
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    const std::string tool = argc > 1 ? argv[1] : TORVANE_CFG;
    char pattern[] = "/tmp/bench-cfg-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
        std::perror("bench_tools_cfg: no temporary folder");
        return 1;
    }
    const std::filesystem::path folder(pattern);
    const std::u16string text = ConfigText();
    std::string stored;
    for (const char16_t unit : EnCrypt(text, DocumentKey)) {
        stored.push_back(char(unit & 0xFF));
        stored.push_back(char(unit >> 8));
    }
    const std::string plain(text.begin(), text.end()); // ASCII, so its own UTF-8
    const std::string storedPath = (folder / "largest.cfg").string();
    const std::string plainPath = (folder / "largest.txt").string();
    WriteBytes(storedPath, stored);
    WriteBytes(plainPath, plain);

    struct Case
    {
        const char *name;
        std::vector<std::string> argv;
        std::string input;
        std::vector<double> wall, cpu;
    };
    std::vector<Case> cases{
        {"iconv -f UTF-16LE -t UTF-8",
         {"iconv", "-f", "UTF-16LE", "-t", "UTF-8", storedPath},
         "/dev/null",
         {},
         {}},
        {"torvane-cfg decode", {tool, "decode", storedPath}, "/dev/null", {}, {}},
        {"torvane-cfg encode", {tool, "encode"}, plainPath, {}, {}},
    };
    int status = 0;
    for (int round = 0; round < Rounds && status == 0; ++round) {
        std::vector<Timing> timings;
        for (const Case &c : cases) {
            const std::optional<Timing> timing = Run(c.argv, c.input);
            if (!timing) {
                std::fprintf(stderr, "bench_tools_cfg: '%s' failed\n", c.name);
                status = 1;
                break;
            }
            timings.push_back(*timing);
        }
        if (status != 0)
            break;
        for (std::size_t i = 0; i < cases.size(); ++i) {
            cases[i].wall.push_back(timings[i].wall / timings[0].wall);
            cases[i].cpu.push_back(timings[i].cpu / std::max(timings[0].cpu, 1e-6));
        }
    }
    std::filesystem::remove_all(folder);
    if (status != 0)
        return status;
    std::printf("%zu-byte config file, %d rounds interleaved, medians of each round's ratio to "
                "iconv (goal <= 1.20)\n",
                stored.size(), Rounds);
    for (std::size_t i = 1; i < cases.size(); ++i)
        std::printf("%s/iconv: wall %.2f, processor time %.2f\n", cases[i].name,
                    Median(cases[i].wall), Median(cases[i].cpu));
    return 0;
}
