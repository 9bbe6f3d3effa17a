// Runs one of our own test cartridges (built into build/roms/) headless for a number of frames
// and hands back what a test looks at: the CPU's flat memory, the last frame and the sound.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "machine/profile.h"

struct RomInput {
  uint32_t frame;   // from this frame on ...
  int port;         // ... joypad 1 or 2 ...
  uint32_t stream;  // ... returns this 24-bit stream (bit 0 = A, 1 B, 2 Select, 3 Start, 4 Up,
                    // 5 Down, 6 Left, 7 Right)
};

// cpu_execute's result when the slot's cycle budget ran out without a bad opcode.
inline constexpr uint32_t kBudgetSpent = 0x80000000;

struct RomRun {
  std::vector<uint8_t> memory;  // the 64 KB flat memory after the last frame
  std::vector<uint8_t> frame;   // the frame buffer (240 rows of 272 colour indices)
  std::vector<uint8_t> sound;   // all samples, 735 per frame, unsigned 8-bit
  uint32_t cpu_result = 0;      // cpu_execute's result in the last slot

  // The colour (0-63) of the pixel at x, y of the last frame.
  int colour_at(int x, int y) const { return frame[y * 272 + x] & 0x3F; }
};

// The path of a built cartridge by name, e.g. rom_path("cpu_instr") -> ".../roms/cpu_instr.nes".
std::string rom_path(const std::string& name);
// Powers the machine on with the cartridge and runs `frames` frames. A cartridge that does not
// load fails the test and leaves memory and frame all zero.
RomRun run_rom(const std::string& name, uint32_t frames, const std::vector<RomInput>& input = {});

// Powers on in the hardware profile while it lives.
struct HardwareProfile {
  HardwareProfile() { profile_choice = Profile::Hardware; }
  ~HardwareProfile() { profile_choice = Profile::Classic; }
};
