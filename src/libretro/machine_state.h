// The whole state of a running machine as one block of fixed size, for the libretro core's save
// states, rewinding and run-ahead: everything a restored machine needs to go on with the same
// frames and sound as the run it was taken from. The layout is this build's own (a version in
// the header says which); the profile and the image size must match the running machine.
#pragma once

#include <cstddef>
#include <cstdint>

// The block's size: the same for every cartridge and either profile.
size_t machine_state_size();
// Writes the state of the powered-on machine, between frames.
void machine_state_save(uint8_t* out);
// Restores a state written by machine_state_save; false, with nothing changed, for a block that
// is not one (another size, version, profile or image size, a page outside its buffer).
bool machine_state_load(const uint8_t* in, size_t size);
