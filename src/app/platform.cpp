#include "app/platform.hpp"

#include <AL/alc.h>
#include <X11/Xlib.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>

bool displayAvailable() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return false;
    XCloseDisplay(display);
    return true;
}

bool soundDeviceAvailable() {
    // The probe runs in a child process. OpenAL reads its configuration once per process, on
    // its first call: a failed probe in this process would leave it set on the missing device,
    // and every audio object made afterwards would print its own failure. The child's
    // complaints go nowhere; the game says it once, in its own words.
    const pid_t child = fork();
    if (child < 0) return true;  // cannot tell: let the audio library try
    if (child == 0) {
        const int quiet = open("/dev/null", O_WRONLY);
        if (quiet >= 0) dup2(quiet, STDERR_FILENO);
        ALCdevice* device = alcOpenDevice(nullptr);
        if (device != nullptr) alcCloseDevice(device);
        _exit(device != nullptr ? 0 : 1);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0)
        if (errno != EINTR) return true;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void useSilentAudio() {
    // OpenAL Soft's null backend accepts every call and plays nothing.
    setenv("ALSOFT_DRIVERS", "null", 1);
}
