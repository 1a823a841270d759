// SPDX-License-Identifier: GPL-3.0-or-later
// Runs programs one after the other, interleaved, many times, and reports for
// each the wall time from fork to exit and the child's peak resident memory.
//
//   talonario_startup RUNS --program NAME PATH [ARGS...] [--program NAME PATH ...]
//
// The programs' own standard output is discarded. Prints one line per program:
//   NAME runs=N median_ms=.. min_ms=.. max_ms=.. q1_ms=.. q3_ms=.. rss_median_kb=.. rss_max_kb=..
// A run that does not exit with status 0 within kTimeoutSeconds fails the whole
// measurement: for the windows that means the first-paint exit never fired.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr unsigned kTimeoutSeconds = 20;
constexpr int kWarmUpRuns = 2;  // page cache and font cache, not counted

struct Program {
    std::string name;
    std::vector<char*> argv;  // null-terminated
    std::vector<double> millis;
    std::vector<long> rssKb;
};

bool RunOnce(Program& program, bool record) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid < 0) {
        std::perror("fork");
        return false;
    }
    if (pid == 0) {
        // A pending alarm survives exec: a program that never exits is killed.
        alarm(kTimeoutSeconds);
        // What the program prints is not wanted here; its errors still show.
        const int null = open("/dev/null", O_WRONLY);
        if (null >= 0) {
            dup2(null, STDOUT_FILENO);
            close(null);
        }
        execv(program.argv[0], program.argv.data());
        std::perror(program.argv[0]);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid) {
        std::perror("wait4");
        return false;
    }
    const auto end = std::chrono::steady_clock::now();
    if (WIFSIGNALED(status)) {
        std::fprintf(stderr, "%s: killed by signal %d%s\n", program.name.c_str(), WTERMSIG(status),
                     WTERMSIG(status) == SIGALRM ? " (timed out: did it ever exit?)" : "");
        return false;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s: exit status %d\n", program.name.c_str(), WEXITSTATUS(status));
        return false;
    }
    if (record) {
        program.millis.push_back(std::chrono::duration<double, std::milli>(end - start).count());
        program.rssKb.push_back(usage.ru_maxrss);
    }
    return true;
}

template <typename T>
double Quantile(std::vector<T> values, double q) {
    std::sort(values.begin(), values.end());
    const double position = q * static_cast<double>(values.size() - 1);
    const auto below = static_cast<std::size_t>(position);
    const std::size_t above = std::min(below + 1, values.size() - 1);
    const double fraction = position - static_cast<double>(below);
    return static_cast<double>(values[below]) * (1 - fraction) +
           static_cast<double>(values[above]) * fraction;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5 || std::strcmp(argv[2], "--program") != 0) {
        std::fprintf(stderr, "usage: %s RUNS --program NAME PATH [ARGS...] [--program ...]\n",
                     argv[0]);
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    std::vector<Program> programs;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--program") == 0) {
            if (i + 2 >= argc) {
                std::fprintf(stderr, "--program needs a name and a path\n");
                return 2;
            }
            programs.push_back({argv[i + 1], {}, {}, {}});
            i += 1;
            continue;
        }
        programs.back().argv.push_back(argv[i]);
    }
    for (Program& program : programs) {
        program.argv.push_back(nullptr);
    }

    for (int run = -kWarmUpRuns; run < runs; ++run) {
        for (Program& program : programs) {
            if (!RunOnce(program, run >= 0)) {
                return 1;
            }
        }
    }
    for (const Program& program : programs) {
        std::printf(
            "%s runs=%d median_ms=%.2f min_ms=%.2f max_ms=%.2f q1_ms=%.2f q3_ms=%.2f "
            "rss_median_kb=%.0f rss_max_kb=%ld\n",
            program.name.c_str(), runs, Quantile(program.millis, 0.5),
            *std::min_element(program.millis.begin(), program.millis.end()),
            *std::max_element(program.millis.begin(), program.millis.end()),
            Quantile(program.millis, 0.25), Quantile(program.millis, 0.75),
            Quantile(program.rssKb, 0.5),
            *std::max_element(program.rssKb.begin(), program.rssKb.end()));
    }
    return 0;
}
