#include "platform/platform.hpp"

#include <AL/alc.h>
#include <X11/Xlib.h>

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <cstddef>
#include <cstdlib>
#include <ctime>
#include <iostream>

namespace {
constexpr long probeDeadline = 2000;  // ms a sound device may take to open
constexpr long probeLook = 10;        // ms between looks at the probe

constexpr char lostDisplayLine[] = "skywaltz: lost the connection to the display; the game ends\n";
constexpr char outOfMemoryLine[] = "skywaltz: out of memory; the game cannot go on\n";

enum ProbeStatus { opened = 0, notOpened = 1, noMemory = 2 };

long millisecondsNow() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000L + now.tv_nsec / 1000000L;
}

template <std::size_t size>
void say(const char (&line)[size]) {
    const ssize_t written = write(STDERR_FILENO, line, size - 1);
    static_cast<void>(written);
}

int endGame(Display*) {
    // Only what is safe here: the process may be deep inside Xlib on any thread. _exit runs
    // no destructors, so the audio library is not torn down under its streaming thread.
    say(lostDisplayLine);
    _exit(1);
}

// OpenAL also names a device it cannot find "out of memory", so only under a memory limit
// is that taken at its word.
int failure(ALCdevice* device) {
    return alcGetError(device) == ALC_OUT_OF_MEMORY && memoryLimited() ? noMemory : notOpened;
}

[[noreturn]] void probeInChild(pid_t parent) {
    // The probe dies with the game, even when the game is killed while it waits.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(notOpened);
    const int quiet = open("/dev/null", O_WRONLY);
    if (quiet >= 0) dup2(quiet, STDERR_FILENO);
    ALCdevice* device = alcOpenDevice(nullptr);
    if (device == nullptr) _exit(notOpened);
    // The game's first sound object makes a context, which starts OpenAL's mixing thread.
    // Short of memory OpenAL may crash there; a probe that does tells the game why.
    ALCcontext* context = alcCreateContext(device, nullptr);
    if (context == nullptr) _exit(failure(device));
    alcDestroyContext(context);
    alcCloseDevice(device);
    _exit(opened);
}

// The probe's exit status, or -1 when it did not end before the deadline (it is then killed).
int awaitProbe(pid_t child) {
    const long deadline = millisecondsNow() + probeDeadline;
    int status = 0;
    for (;;) {
        const pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child && WIFEXITED(status)) return WEXITSTATUS(status);
        if (done == child) return memoryLimited() ? noMemory : notOpened;
        if (done < 0 && errno != EINTR) return opened;  // cannot tell: let the audio library try
        if (millisecondsNow() >= deadline) break;
        const timespec pause{0, probeLook * 1000000L};
        nanosleep(&pause, nullptr);
    }
    kill(child, SIGKILL);
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return -1;
}
}  // namespace

void prepareProcess() {
    // The display is a socket. A frame flushed just after the server died would otherwise be
    // killed by SIGPIPE before Xlib can read the closed connection and call the handler.
    signal(SIGPIPE, SIG_IGN);
    XSetIOErrorHandler(endGame);
}

bool displayAvailable() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return false;
    XCloseDisplay(display);
    return true;
}

void reportNoDisplay() {
    const char* name = std::getenv("DISPLAY");
    std::cerr << "skywaltz: cannot open the display "
              << (name != nullptr && *name != '\0' ? name : "(DISPLAY is not set)")
              << "; the game needs a desktop session\n";
}

void showFatalNotice(const std::string&) {}

SoundProbe probeSoundDevice() {
    // The probe runs in a child process. OpenAL reads its configuration once per process, on
    // its first call: a failed probe in this process would leave it set on the missing device,
    // and every audio object made afterwards would print its own failure. The child's
    // complaints go nowhere; the game says it once, in its own words.
    const pid_t parent = getpid();
    const pid_t child = fork();
    if (child < 0) return SoundProbe::available;  // cannot tell: let the audio library try
    if (child == 0) probeInChild(parent);
    switch (awaitProbe(child)) {
        case opened:
            return SoundProbe::available;
        case noMemory:
            return SoundProbe::outOfMemory;
        case -1:
            return SoundProbe::noAnswer;
        default:
            return SoundProbe::missing;
    }
}

bool memoryLimited() {
    rlimit limit{};
    return getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY;
}

void reportOutOfMemory() {
    say(outOfMemoryLine);
}

void useSilentAudio() {
    // OpenAL Soft's null backend accepts every call and plays nothing.
    setenv("ALSOFT_DRIVERS", "null", 1);
}
