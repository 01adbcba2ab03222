#pragma once

// What the machine offers the game before it opens anything: a desktop to show the window on
// and a device to play sound through. Both are asked once, at start-up; the sound device is
// watched afterwards, since a sound server can die while the game plays.

// Whether an X display can be opened (DISPLAY is set and its server answers).
bool displayAvailable();

// From now on a lost connection to the X server ends the process at once with one line and
// status 1. Xlib's own handler calls exit(), which tears the audio library down under its
// streaming thread and aborts. A write into the dead connection fails rather than raising
// SIGPIPE. Call before anything opens a display.
void endOnLostDisplay();

enum class SoundProbe {
    available,
    missing,     // no device could be opened
    noAnswer,    // the device did not answer in time (a hung sound server)
    outOfMemory  // the device, or the mixing it starts, failed for want of memory
};

// Asks OpenAL, in a child process that is bounded in time and never outlives the game,
// whether it can open the default playback device and start mixing on it.
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
