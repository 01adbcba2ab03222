#pragma once

// The game's random numbers. The C library's rand() differs between systems (Windows' runs to
// 32767 and follows another sequence), so a world grown from a seed would differ between them;
// these follow the GNU C library's rand() draw for draw on every system.

// Starts the sequence again from `seed`, as srand does; 0 counts as 1.
void seedRandom(unsigned seed);

// The next number of the sequence, from 0 to 2147483647; before any seed, as after seed 1.
int randomNumber();
