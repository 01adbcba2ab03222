#pragma once

#include <string>

// What the machine offers the game before it opens anything: a desktop to show the window on
// and a device to play sound through. Both are asked once, at start-up; the sound device is
// watched afterwards, since a sound server can die while the game plays.

// Call first, before anything prints or opens a display. On X11 a lost connection to the X
// server from now on ends the process at once with one line and status 1 (Xlib's own handler
// calls exit(), which tears the audio library down under its streaming thread and aborts), and
// a write into the dead connection fails rather than raising SIGPIPE. On Windows the game's
// lines go to the console it was started from, if any.
void prepareProcess();

// Whether the desktop can be reached (on X11: DISPLAY is set and its server answers).
bool displayAvailable();
// Says, in one line, that there is no desktop to open the window on.
void reportNoDisplay();

// Says `line` (one line, without its end) where the player sees why the game cannot start: on
// the error stream, and through the fatal notice as well.
void reportFatal(const std::string& line);

// Shows `line` to a player who may have started the game without a console: a message box on
// Windows, which waits for its OK; nothing elsewhere, where the error stream is the place.
void showFatalNotice(const std::string& line);

// What reportFatal shows besides the error stream: showFatalNotice until replaced. A test
// replaces it, so that no box waits for a click. Returns the one it replaces.
using FatalNotice = void (*)(const std::string& line);
FatalNotice replaceFatalNotice(FatalNotice notice);

enum class SoundProbe {
    available,
    missing,     // no device could be opened
    noAnswer,    // the device did not answer in time (a hung sound server)
    outOfMemory  // the device, or the mixing it starts, failed for want of memory
};

// Asks OpenAL whether it can open the default playback device and start mixing on it, within
// two seconds: on X11/POSIX in a child process that never outlives the game, on Windows on a
// worker thread the game stops waiting for.
SoundProbe probeSoundDevice();

// Whether the process runs under a limit on its memory (ulimit -v), below which the graphics
// and audio libraries fail in ways they do not name.
bool memoryLimited();

// Says, in one line, that the game ran out of memory. Safe anywhere, even while ending.
void reportOutOfMemory();

// Points OpenAL at its silent output, so the game's audio objects neither play nor complain.
// Takes effect only when called before any audio object exists.
void useSilentAudio();

// Whether the playback device the game's audio objects use is still there. True while no
// device is open, or when OpenAL cannot tell.
bool soundDeviceConnected();
