// Advancing the snow by one frame's seconds, with the work of a long pause bounded. Portable: no
// operating-system header.
#pragma once

class ParticleSystem;

// How long a flake lives, in seconds; a frame longer than this melts every flake.
constexpr double flakeLifeSeconds = 15.0;

// Advances the system by seconds, exactly as its own update does for any frame of up to a flake's
// life. A longer frame (the machine slept, hibernated, or sat in a debugger) would make the
// emitters clone every flake owed for the whole pause, only for each to melt in the same step: an
// hour at 300 flakes a second is over a million clones. Such a frame melts the flakes on screen in
// one step of a little more than a flake's life with the emitters held still, so it costs no more
// than an ordinary frame; the sky is empty, as after any pause that long, and fills again from the
// next frame on.
void advanceSnow(ParticleSystem& system, double seconds);
