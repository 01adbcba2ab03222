// Frame cost against the size of the world. Grows worlds of 1, 10, 30, 100, 300 and 1000
// planets the way the game grows them (timing the last growth steps), lets each settle, then
// times the update (also with the planet and item searches walking the whole lists, as they
// did before those lists had an index) and the drawing (at the default 480 x 320 and at
// 1280 x 720) frame by frame, counts draw calls, agents and heap allocations, and times the
// start-up to the first presented frame. Prints one table and writes it as CSV. A
// measurement, not a test: it asserts no timings, and fails only when a counter or the
// start-up run does not work at all. Then the game's own frame rate on virtual screens of
// real sizes (real_screen.hpp).
//
// Options (the rest go to Google Benchmark): --smoke (the smallest world, one frame of each,
// one start-up, a short look at the real screens), --screens-only (the real screens alone),
// --csv=FILE (default bench.csv), --update-frames=N, --draw-frames=N,
// --startups=N.
#include "bench_world.hpp"
#include "counters.hpp"
#include "median.hpp"
#include "process_status.hpp"
#include "real_screen.hpp"

#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

extern char** environ;

namespace {
constexpr int defaultUpdateFrames = 600;  // timed updates per world
constexpr int defaultDrawFrames = 300;    // timed frames per world and window size
constexpr int defaultStartups = 5;        // start-ups timed
constexpr unsigned worldSeed = 20261207;
const std::vector<int> worldSizes = {1, 10, 30, 100, 300, 1000};  // planets
constexpr size_t growthStepsTimed = 10;  // the last growth steps of each world
constexpr unsigned smallWidth = 480;     // px, the game's default window
constexpr unsigned smallHeight = 320;
constexpr unsigned largeWidth = 1280;  // px
constexpr unsigned largeHeight = 720;
constexpr double nanosecondsPerMillisecond = 1e6;
constexpr double smokeScreenWarmup = 0.2;   // s before the smoke run times the real screens
constexpr double smokeScreenSeconds = 0.5;  // s it times each of them, once
const char* const firstFrameProgram = "skywaltz_first_frame";  // beside this binary

struct Options {
    bool smoke = false;
    bool screensOnly = false;
    std::string csv = "bench.csv";
    int updateFrames = defaultUpdateFrames;
    int drawFrames = defaultDrawFrames;
    int startups = defaultStartups;
};

struct Row {
    int planetsAsked = 0;
    size_t effects = 0, players = 0, planets = 0, items = 0;
    double updateMs = 0, drawSmallMs = 0, drawLargeMs = 0;
    double updateCpuMs = 0, drawSmallCpuMs = 0, drawLargeCpuMs = 0;
    double callsSmall = 0, callsLarge = 0;
    double allocationsPerUpdate = 0, allocationsPerDraw = 0;
    double residentMb = 0;
    double growthStepMs = 0, growthStepMaxMs = 0;  // of the last growth steps
    double updateWholeListsMs = 0;  // the update with the searches walking the whole lists
};

Options options;
std::vector<Row> rows;
bool countersBroken = false;

Row& rowFor(int planets) {
    for (Row& row : rows)
        if (row.planetsAsked == planets) return row;
    rows.push_back(Row{});
    rows.back().planetsAsked = planets;
    return rows.back();
}

void recordGrowth(int planets, const std::vector<double>& stepMs) {
    const size_t timed = std::min(growthStepsTimed, stepMs.size());
    const std::vector<double> last(stepMs.end() - static_cast<std::ptrdiff_t>(timed), stepMs.end());
    Row& row = rowFor(planets);
    row.growthStepMs = median(last);
    row.growthStepMaxMs = last.empty() ? 0.0 : *std::max_element(last.begin(), last.end());
}

// One world at a time is kept, so the memory figures are those of one world.
BenchWorld& worldFor(int planets, unsigned width, unsigned height) {
    static std::unique_ptr<BenchWorld> world;
    static int grownTo = 0;
    if (!world || grownTo != planets || world->resources.width != static_cast<int>(width) ||
        world->resources.height != static_cast<int>(height)) {
        world.reset();
        world = std::make_unique<BenchWorld>(width, height);
        world->grow(planets, worldSeed);
        grownTo = planets;
        recordGrowth(planets, world->growthStepMs);
    }
    return *world;
}

double since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// CPU time in milliseconds: of this thread, or of the whole process with the software
// renderer's threads. On a shared machine it varies less than the wall clock.
double cpuMilliseconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

void benchUpdate(benchmark::State& state, int planets) {
    BenchWorld& world = worldFor(planets, smallWidth, smallHeight);
    std::vector<double> times, cpu;
    std::uint64_t allocations = 0;
    for (auto _ : state) {
        counters::countAllocations(true);
        const std::uint64_t before = counters::allocations();
        const double cpuStart = cpuMilliseconds(CLOCK_THREAD_CPUTIME_ID);
        const auto start = std::chrono::steady_clock::now();
        world.update();
        const double seconds = since(start);
        cpu.push_back(cpuMilliseconds(CLOCK_THREAD_CPUTIME_ID) - cpuStart);
        allocations += counters::allocations() - before;
        counters::countAllocations(false);
        state.SetIterationTime(seconds);
        times.push_back(seconds * 1000.0);
    }
    Row& row = rowFor(planets);
    row.updateMs = median(times);
    row.updateCpuMs = median(cpu);
    row.allocationsPerUpdate = static_cast<double>(allocations) / std::max<size_t>(1, times.size());
    row.effects = world.scene.effects.size();
    row.players = world.scene.players.size();
    row.planets = world.scene.planets.size();
    row.items = world.scene.items.size();
    state.counters["allocs/update"] = row.allocationsPerUpdate;
    state.counters["planets"] = static_cast<double>(row.planets);
}

// The same update with the planet and item indexes set aside, as the searches ran before them.
void benchUpdateWholeLists(benchmark::State& state, int planets) {
    BenchWorld& world = worldFor(planets, smallWidth, smallHeight);
    world.scene.planets.index = world.scene.items.index = nullptr;
    std::vector<double> times;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        world.update();
        const double seconds = since(start);
        state.SetIterationTime(seconds);
        times.push_back(seconds * 1000.0);
    }
    world.scene.planets.index = &world.scene.planetIndex;
    world.scene.items.index = &world.scene.itemIndex;
    rowFor(planets).updateWholeListsMs = median(times);
}

void benchDraw(benchmark::State& state, int planets, unsigned width, unsigned height) {
    BenchWorld& world = worldFor(planets, width, height);
    std::vector<double> times, cpu, calls;
    std::uint64_t allocations = 0;
    for (auto _ : state) {
        counters::countAllocations(true);
        const std::uint64_t allocationsBefore = counters::allocations();
        const std::uint64_t callsBefore = counters::drawCalls();
        const double cpuStart = cpuMilliseconds(CLOCK_PROCESS_CPUTIME_ID);
        const auto start = std::chrono::steady_clock::now();
        world.draw();
        counters::finishGl();
        const double seconds = since(start);
        cpu.push_back(cpuMilliseconds(CLOCK_PROCESS_CPUTIME_ID) - cpuStart);
        calls.push_back(static_cast<double>(counters::drawCalls() - callsBefore));
        allocations += counters::allocations() - allocationsBefore;
        counters::countAllocations(false);
        state.SetIterationTime(seconds);
        times.push_back(seconds * 1000.0);
    }
    if (median(calls) <= 0.0) countersBroken = true;
    Row& row = rowFor(planets);
    const double perDraw = static_cast<double>(allocations) / std::max<size_t>(1, times.size());
    if (width == smallWidth) {
        row.drawSmallMs = median(times);
        row.drawSmallCpuMs = median(cpu);
        row.callsSmall = median(calls);
        row.allocationsPerDraw = perDraw;
    } else {
        row.drawLargeMs = median(times);
        row.drawLargeCpuMs = median(cpu);
        row.callsLarge = median(calls);
        row.residentMb = statusMegabytes("VmRSS");
    }
    state.counters["draw calls"] = median(calls);
}

std::string firstFramePath() {
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return firstFrameProgram;
    std::string path(self, static_cast<size_t>(n));
    return path.substr(0, path.rfind('/') + 1) + firstFrameProgram;
}

// Starts the game in a fresh process and returns the milliseconds until it has presented
// its first frame, or a negative number when it did not get there.
// Runs the game's start-up program, with `argument` unless it is empty, and returns what it
// printed, or "" when it failed; `started` is the monotonic clock just before the spawn.
std::string runGame(const std::string& program, const std::string& argument, long long& started) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return "";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    std::string arg = argument;
    char* argv[] = {const_cast<char*>(program.c_str()), argument.empty() ? nullptr : &arg[0],
                    nullptr};
    pid_t child = 0;
    started = monotonicNanoseconds();
    const int failed = posix_spawn(&child, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    std::string output;
    char buffer[256];
    ssize_t got = 0;
    while (failed == 0 && (got = read(pipeEnds[0], buffer, sizeof buffer)) > 0)
        output.append(buffer, static_cast<size_t>(got));
    close(pipeEnds[0]);
    int status = 0;
    if (failed == 0) waitpid(child, &status, 0);
    if (failed != 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return "";
    return output;
}

double timeFirstFrame(const std::string& program) {
    long long started = 0;
    const std::string output = runGame(program, "", started);
    if (output.empty()) return -1.0;
    return static_cast<double>(std::stoll(output) - started) / nanosecondsPerMillisecond;
}

// The game's own peak resident memory with a world grown to `planets`.
double gameMegabytes(const std::string& program, int planets) {
    long long started = 0;
    const std::string output = runGame(program, "--grow=" + std::to_string(planets), started);
    return output.empty() ? -1.0 : std::stod(output);
}

size_t agentsOf(const Row& r) {
    return r.effects + r.players + r.planets + r.items;
}

double updateNsPerAgent(const Row& r) {
    return r.updateMs * nanosecondsPerMillisecond /
           static_cast<double>(std::max<size_t>(1, agentsOf(r)));
}

double allocationsPerAgent(const Row& r) {
    return r.allocationsPerUpdate / static_cast<double>(std::max<size_t>(1, agentsOf(r)));
}

double frameMs(const Row& r) {
    return r.updateMs + r.drawSmallMs;
}

// What grows with the world, per agent, and the largest world against the small ones.
void printPerAgent() {
    std::printf("%7s | %8s | %15s | %16s | %16s | %20s | %22s\n", "planets", "agents",
                "update ns/agent", "new/update/agent", "frame ms 480x320", "growth step ms (max)",
                "update ms, whole lists");
    for (const Row& r : rows)
        std::printf("%7d | %8zu | %15.1f | %16.4f | %16.2f | %12.2f (%.2f) | %9.3f (x%.1f)\n",
                    r.planetsAsked, agentsOf(r), updateNsPerAgent(r), allocationsPerAgent(r),
                    frameMs(r), r.growthStepMs, r.growthStepMaxMs, r.updateWholeListsMs,
                    r.updateWholeListsMs / std::max(1e-9, r.updateMs));
    const Row* one = nullptr;
    const Row* ten = nullptr;
    for (const Row& r : rows) {
        if (r.planetsAsked == 1) one = &r;
        if (r.planetsAsked == 10) ten = &r;
    }
    const Row& largest = rows.back();
    if (ten != nullptr && ten != &largest)
        std::printf("%d planets against 10: update per agent x%.2f, allocations per agent x%.2f\n",
                    largest.planetsAsked, updateNsPerAgent(largest) / updateNsPerAgent(*ten),
                    allocationsPerAgent(largest) / std::max(1e-9, allocationsPerAgent(*ten)));
    if (one != nullptr && one != &largest)
        std::printf("%d planets: whole frame at 480x320 = x%.2f the drawing of 1 planet\n",
                    largest.planetsAsked, frameMs(largest) / one->drawSmallMs);
}

void printTable(double firstFrameMs, double peakMb, int gamePlanets, double gameMb) {
    std::printf(
        "\nSKYWALTZ frame cost: medians per frame; wall-clock ms with CPU ms in brackets "
        "(update: its thread; draw: the process with the renderer's threads)\n");
    std::printf("%7s | %-16s | %-15s | %-17s | %-17s | %9s | %10s | %10s | %8s | %6s\n", "planets",
                "agents e/p/pl/i", "update ms", "draw ms 480x320", "draw ms 1280x720", "calls 480",
                "calls 1280", "new/update", "new/draw", "RSS MB");
    for (const Row& r : rows) {
        char agents[64], update[32], small[32], large[32];
        std::snprintf(agents, sizeof agents, "%zu/%zu/%zu/%zu", r.effects, r.players, r.planets,
                      r.items);
        std::snprintf(update, sizeof update, "%.3f (%.3f)", r.updateMs, r.updateCpuMs);
        std::snprintf(small, sizeof small, "%.2f (%.2f)", r.drawSmallMs, r.drawSmallCpuMs);
        std::snprintf(large, sizeof large, "%.2f (%.2f)", r.drawLargeMs, r.drawLargeCpuMs);
        std::printf(
            "%7d | %-16s | %-15s | %-17s | %-17s | %9.0f | %10.0f | %10.1f | %8.1f | "
            "%6.1f\n",
            r.planetsAsked, agents, update, small, large, r.callsSmall, r.callsLarge,
            r.allocationsPerUpdate, r.allocationsPerDraw, r.residentMb);
    }
    printPerAgent();
    std::printf("peak RSS of this benchmark's run (VmHWM): %.1f MB\n", peakMb);
    std::printf("peak RSS of the game itself with %d planets, at the default settings: %.1f MB\n",
                gamePlanets, gameMb);
    std::printf("start-up to first presented frame (median of %d): %.1f ms\n", options.startups,
                firstFrameMs);
}

void writeCsv(double firstFrameMs, double peakMb, double gameMb) {
    std::ofstream csv(options.csv);
    csv << "planets_asked,effects,players,planets,items,update_ms,update_cpu_ms,"
           "draw_ms_480x320,draw_cpu_ms_480x320,draw_ms_1280x720,draw_cpu_ms_1280x720,"
           "draw_calls_480x320,draw_calls_1280x720,allocations_per_update,allocations_per_draw,"
           "rss_mb,peak_rss_mb,game_peak_rss_mb,first_frame_ms,agents,update_ns_per_agent,"
           "allocations_per_update_per_agent,frame_ms_480x320,growth_step_ms,"
           "growth_step_max_ms,update_whole_lists_ms\n";
    for (const Row& r : rows)
        csv << r.planetsAsked << ',' << r.effects << ',' << r.players << ',' << r.planets << ','
            << r.items << ',' << r.updateMs << ',' << r.updateCpuMs << ',' << r.drawSmallMs << ','
            << r.drawSmallCpuMs << ',' << r.drawLargeMs << ',' << r.drawLargeCpuMs << ','
            << r.callsSmall << ',' << r.callsLarge << ',' << r.allocationsPerUpdate << ','
            << r.allocationsPerDraw << ',' << r.residentMb << ',' << peakMb << ',' << gameMb << ','
            << firstFrameMs << ',' << agentsOf(r) << ',' << updateNsPerAgent(r) << ','
            << allocationsPerAgent(r) << ',' << frameMs(r) << ',' << r.growthStepMs << ','
            << r.growthStepMaxMs << ',' << r.updateWholeListsMs << '\n';
}

RealScreenOptions screenOptions() {
    RealScreenOptions screens;
    const std::string program = firstFramePath();
    screens.binaryFolder = program.substr(0, program.rfind('/') + 1);
    if (options.smoke) {
        screens.warmupSeconds = smokeScreenWarmup;
        screens.seconds = smokeScreenSeconds;
        screens.rounds = 1;
    }
    return screens;
}

// Takes this program's own options out of argv and leaves the rest to Google Benchmark.
void readOptions(int& argc, char** argv) {
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto value = [&arg](const char* prefix) { return arg.substr(std::strlen(prefix)); };
        if (arg == "--smoke")
            options.smoke = true;
        else if (arg == "--screens-only")
            options.screensOnly = true;
        else if (arg.rfind("--csv=", 0) == 0)
            options.csv = value("--csv=");
        else if (arg.rfind("--update-frames=", 0) == 0)
            options.updateFrames = std::max(1, std::stoi(value("--update-frames=")));
        else if (arg.rfind("--draw-frames=", 0) == 0)
            options.drawFrames = std::max(1, std::stoi(value("--draw-frames=")));
        else if (arg.rfind("--startups=", 0) == 0)
            options.startups = std::max(1, std::stoi(value("--startups=")));
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
    if (options.smoke) options.updateFrames = options.drawFrames = options.startups = 1;
}
}  // namespace

int main(int argc, char** argv) {
    readOptions(argc, argv);
    if (options.screensOnly) return measureRealScreens(screenOptions()) ? 0 : 1;
    benchmark::Initialize(&argc, argv);
    std::vector<int> sizes = worldSizes;
    if (options.smoke) sizes.resize(1);
    for (int planets : sizes) {
        const std::string suffix = "/planets:" + std::to_string(planets);
        benchmark::RegisterBenchmark(("update" + suffix).c_str(),
                                     [planets](benchmark::State& s) { benchUpdate(s, planets); })
            ->UseManualTime()
            ->Iterations(options.updateFrames)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(
            ("update_whole_lists" + suffix).c_str(),
            [planets](benchmark::State& s) { benchUpdateWholeLists(s, planets); })
            ->UseManualTime()
            ->Iterations(options.updateFrames)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(
            ("draw_480x320" + suffix).c_str(),
            [planets](benchmark::State& s) { benchDraw(s, planets, smallWidth, smallHeight); })
            ->UseManualTime()
            ->Iterations(options.drawFrames)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(
            ("draw_1280x720" + suffix).c_str(),
            [planets](benchmark::State& s) { benchDraw(s, planets, largeWidth, largeHeight); })
            ->UseManualTime()
            ->Iterations(options.drawFrames)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    const double peakMb = statusMegabytes("VmHWM");

    const std::string program = firstFramePath();
    std::vector<double> startups;
    for (int i = 0; i < options.startups; ++i) {
        const double ms = timeFirstFrame(program);
        if (ms < 0.0) {
            std::cerr << "skywaltz_bench: " << program << " did not present a frame\n";
            return 1;
        }
        startups.push_back(ms);
    }
    const double firstFrameMs = median(startups);

    const double gameMb = gameMegabytes(program, sizes.back());
    if (gameMb < 0.0) {
        std::cerr << "skywaltz_bench: " << program << " did not grow its world\n";
        return 1;
    }

    printTable(firstFrameMs, peakMb, sizes.back(), gameMb);
    writeCsv(firstFrameMs, peakMb, gameMb);
    std::printf("written: %s\n", options.csv.c_str());
    if (!measureRealScreens(screenOptions())) return 1;
    if (countersBroken) {
        std::cerr << "skywaltz_bench: no draw call was counted; the GL counter does not work\n";
        return 1;
    }
    return 0;
}
