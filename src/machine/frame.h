// One emulated frame: 264 scanline slots of 114 CPU cycles, the visible ones rendered first.
#pragma once

#include <atomic>
#include <cstdint>

inline constexpr uint32_t kSlotsPerFrame = 264;
inline constexpr uint32_t kCyclesPerSlot = 114;
inline constexpr uint32_t kVisibleLines = 240;
inline constexpr uint32_t kVblankStartSlot = 243;
inline constexpr uint32_t kVblankEndSlot = 262;
inline constexpr uint8_t kBlankFill = 0x3F;

// 1: lines 0-7 and 233-239 are blanked as an NTSC set shows them; 0: all 240 lines are drawn.
// Set from the window thread, read once a line.
extern std::atomic<uint8_t> ntsc_display;
// The cycles a slot ran short of (or over) its 114, handed to the next slot; never reset.
extern int32_t cycle_carry;
// cpu_execute's result in the last slot: kCpuBudgetSpent, or the address of an unsupported
// opcode the CPU is stuck on.
extern uint32_t machine_cpu_result;

void machine_run_frame();
