#pragma once

// What the machine offers the game before it opens anything: a desktop to show the window on
// and a device to play sound through. Both are asked once, at start-up.

// Whether an X display can be opened (DISPLAY is set and its server answers).
bool displayAvailable();

// Whether OpenAL can open the default playback device.
bool soundDeviceAvailable();

// Points OpenAL at its silent output, so the game's audio objects neither play nor complain.
// Takes effect only when called before any audio object exists.
void useSilentAudio();
