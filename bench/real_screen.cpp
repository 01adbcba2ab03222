#include "real_screen.hpp"
#include "median.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {
const char* const timedGame = "skywaltz_frame_rate";  // beside the benchmark
constexpr int serverStartMs = 10000;                  // the longest wait for an Xvfb server
constexpr int displayFd = 3;                          // where Xvfb writes its display number

struct Setting {
    const char* name;
    const char* config;      // nullptr: no config.txt, the first start
    bool unfocused = false;  // the focus taken away during the warm-up
};

struct Case {
    unsigned screenWidth, screenHeight;
    Setting setting;
};

const Setting windowedSmall{"resolution: 480 320, fullscreen: off (reference)",
                            "resolution: 480 320\nfullscreen: off\n"};
const Setting windowedLarge{"resolution: 1280 720, fullscreen: off",
                            "resolution: 1280 720\nfullscreen: off\n"};
const Setting firstStart{"no config.txt (fullscreen, 480x320 scaled up)", nullptr};
const Setting desktopResolution{"resolution: auto, fullscreen: on",
                                "resolution: auto\nfullscreen: on\n"};
const Setting unfocusedSmall{"resolution: 480 320, fullscreen: off, unfocused",
                             windowedSmall.config, true};
const Setting unfocusedLarge{"resolution: 1280 720, fullscreen: off, unfocused",
                             windowedLarge.config, true};

const std::vector<Case> cases = {
    {1920, 1080, windowedSmall},     {1920, 1080, windowedLarge},  {1920, 1080, firstStart},
    {1920, 1080, desktopResolution}, {1280, 720, firstStart},      {1280, 720, desktopResolution},
    {1920, 1080, unfocusedSmall},    {1920, 1080, unfocusedLarge},
};
// The focused case each unfocused one is compared with.
size_t focusedCounterpart(const Case& c) {
    for (size_t i = 0; i < cases.size(); ++i)
        if (!cases[i].setting.unfocused && cases[i].screenWidth == c.screenWidth &&
            cases[i].setting.config == c.setting.config)
            return i;
    return 0;
}

// What one game process measured.
struct Measured {
    int frames = 0;
    double seconds = 0, frameMs = 0, drawMs = 0;
    int unfocused = 0, fullscreen = 0;
    unsigned width = 0, height = 0;
    double cpuMsPerSecond = 0;
    int focusedAtEnd = 1;
};

// The rounds of one setting together.
struct Summed {
    int frames = 0, runs = 0, unfocused = 0, fullscreenRuns = 0, focusedRuns = 0;
    double seconds = 0;
    std::vector<double> frameMs, drawMs, cpuMsPerSecond;
    unsigned width = 0, height = 0;

    void add(const Measured& run) {
        frames += run.frames;
        seconds += run.seconds;
        frameMs.push_back(run.frameMs);
        drawMs.push_back(run.drawMs);
        unfocused += run.unfocused;
        fullscreenRuns += run.fullscreen;
        cpuMsPerSecond.push_back(run.cpuMsPerSecond);
        focusedRuns += run.focusedAtEnd;
        ++runs;
        width = run.width;
        height = run.height;
    }
    double fps() const { return seconds > 0 ? frames / seconds : 0.0; }
};

// An Xvfb server of the given size, stopped when this goes.
class VirtualScreen {
public:
    VirtualScreen(unsigned width, unsigned height) {
        int ends[2];
        if (pipe(ends) != 0) return;
        const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
        pid = fork();
        if (pid == 0) {
            dup2(ends[1], displayFd);
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, STDOUT_FILENO);
            dup2(null, STDERR_FILENO);
            execlp("Xvfb", "Xvfb", "-displayfd", std::to_string(displayFd).c_str(), "-screen", "0",
                   screen.c_str(), "-nolisten", "tcp", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(ends[1]);
        // The server writes the number and then a line end; closing before that kills it.
        std::string number;
        pollfd ready{ends[0], POLLIN, 0};
        char c = 0;
        while (pid > 0 && poll(&ready, 1, serverStartMs) == 1 && read(ends[0], &c, 1) == 1 &&
               c != '\n')
            number += c;
        if (c == '\n' && !number.empty()) name = ":" + number;
        close(ends[0]);
    }
    ~VirtualScreen() {
        if (pid <= 0) return;
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
    VirtualScreen(const VirtualScreen&) = delete;
    VirtualScreen& operator=(const VirtualScreen&) = delete;

    // The DISPLAY of the server, or "" when it did not start.
    const std::string& display() const { return name; }

private:
    pid_t pid = -1;
    std::string name;
};

// Runs the timed game in `folder` on `display` and reads its line.
bool runTimedGame(const std::string& program, const std::string& folder, const std::string& display,
                  const RealScreenOptions& options, bool unfocused, Measured& out) {
    int ends[2];
    if (pipe(ends) != 0) return false;
    const std::string warmup = std::to_string(options.warmupSeconds);
    const std::string seconds = std::to_string(options.seconds);
    const pid_t child = fork();
    if (child == 0) {
        dup2(ends[1], STDOUT_FILENO);
        close(ends[0]);
        if (chdir(folder.c_str()) != 0) _exit(127);
        setenv("DISPLAY", display.c_str(), 1);
        execl(program.c_str(), program.c_str(), warmup.c_str(), seconds.c_str(),
              unfocused ? "unfocused" : "focused", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(ends[1]);
    std::string output;
    char buffer[256];
    ssize_t got = 0;
    while (child > 0 && (got = read(ends[0], buffer, sizeof buffer)) > 0)
        output.append(buffer, static_cast<size_t>(got));
    close(ends[0]);
    int status = 0;
    if (child <= 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        return false;
    std::istringstream line(output);
    line >> out.frames >> out.seconds >> out.frameMs >> out.drawMs >> out.unfocused >>
        out.fullscreen >> out.width >> out.height >> out.cpuMsPerSecond >> out.focusedAtEnd;
    // An unfocused game may present no frame at all in a short timed span.
    return static_cast<bool>(line) && out.seconds > 0 && (unfocused || out.frames > 0);
}

// A scratch folder holding a link to content/ and, per case, the config.txt.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& content) {
        char pattern[] = "/tmp/skywaltz-screen-XXXXXX";
        if (mkdtemp(pattern) == nullptr) return;
        path = pattern;
        if (symlink(content.c_str(), (path + "/content").c_str()) != 0) path.clear();
    }
    ~ScratchFolder() {
        if (path.empty()) return;
        unlink(config().c_str());
        unlink((path + "/content").c_str());
        rmdir(path.c_str());
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    bool useSettings(const char* settings) {
        unlink(config().c_str());
        if (settings == nullptr) return true;
        std::ofstream file(config());
        file << settings;
        return static_cast<bool>(file);
    }
    std::string config() const { return path + "/config.txt"; }

    std::string path;
};

bool runsAsAsked(const Case& c, const Summed& m) {
    const bool fullscreenAsked =
        c.setting.config == nullptr ||
        std::string(c.setting.config).find("fullscreen: on") != std::string::npos;
    const bool focusAsked = !c.setting.unfocused;
    return (focusAsked ? m.unfocused == 0 && m.focusedRuns == m.runs : m.focusedRuns == 0) &&
           m.fullscreenRuns == (fullscreenAsked ? m.runs : 0);
}
// Processor time of each unfocused setting against the same window focused, in this run.
void printUnfocusedSavings(const std::vector<Summed>& results) {
    for (size_t i = 0; i < cases.size(); ++i) {
        if (!cases[i].setting.unfocused) continue;
        const double away = median(results[i].cpuMsPerSecond);
        const double focused = median(results[focusedCounterpart(cases[i])].cpuMsPerSecond);
        std::printf(
            "unfocused %ux%u window: %.1f ms of processor time a second against %.1f "
            "focused, %.2f ×\n",
            results[i].width, results[i].height, away, focused, focused > 0 ? away / focused : 0.0);
    }
}
}  // namespace

bool measureRealScreens(const RealScreenOptions& options) {
    const std::string program = options.binaryFolder + timedGame;
    ScratchFolder folder(options.binaryFolder + "content");
    if (folder.path.empty()) {
        std::cerr << "skywaltz_bench: no scratch folder for the real-screen runs\n";
        return false;
    }
    VirtualScreen large(1920, 1080), small(1280, 720);
    if (large.display().empty() || small.display().empty()) {
        std::cerr << "skywaltz_bench: Xvfb did not start the virtual screens\n";
        return false;
    }
    std::vector<Summed> results(cases.size());
    for (int round = 0; round < options.rounds; ++round) {
        for (size_t i = 0; i < cases.size(); ++i) {
            const Case& c = cases[i];
            const std::string& display = c.screenWidth == 1920u ? large.display() : small.display();
            Measured run;
            if (!folder.useSettings(c.setting.config) ||
                !runTimedGame(program, folder.path, display, options, c.setting.unfocused, run)) {
                std::cerr << "skywaltz_bench: the game did not run on the " << c.screenWidth << "x"
                          << c.screenHeight << " screen (" << display << ") with " << c.setting.name
                          << "\n";
                return false;
            }
            results[i].add(run);
        }
    }
    const double reference = results[0].fps();
    std::printf(
        "\nSKYWALTZ on real screens: the game's own loop (16 ms frames), %d rounds of %.1f s "
        "after %.1f s of warm-up; frames per second at the buffer swap, medians in ms\n",
        options.rounds, options.seconds, options.warmupSeconds);
    std::printf("%-10s | %-60s | %-9s | %6s | %8s | %7s | %11s | %8s\n", "screen", "settings",
                "window", "fps", "frame ms", "draw ms", "× reference", "CPU ms/s");
    for (size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        const Summed& m = results[i];
        char screen[16], window[16];
        std::snprintf(screen, sizeof screen, "%ux%u", c.screenWidth, c.screenHeight);
        std::snprintf(window, sizeof window, "%ux%u", m.width, m.height);
        std::printf("%-10s | %-60s | %-9s | %6.1f | %8.2f | %7.2f | %11.2f | %8.1f%s\n", screen,
                    c.setting.name, window, m.fps(), median(m.frameMs), median(m.drawMs),
                    reference > 0 ? m.fps() / reference : 0.0, median(m.cpuMsPerSecond),
                    runsAsAsked(c, m) ? "" : "  (focus or fullscreen not as asked)");
    }
    printUnfocusedSavings(results);
    return true;
}
