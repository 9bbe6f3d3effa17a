// One emulated frame: 264 scanline slots of 114 CPU cycles, the visible ones rendered first.
#pragma once

#include <atomic>
#include <cstdint>

#include "cpu/cpu.h"
#include "machine/profile.h"

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

// Runs one frame of the profile the machine was powered on in.
void machine_run_frame();
// The classic profile's frame (machine_run_frame's body when that profile runs).
void classic_run_frame();
// The hardware profile's frame: until the picture's last visible line is drawn.
void hardware_run_frame();
// Powers on the hardware profile's CPU and PPU (after the machine is wired).
void hardware_power_on();
// The console's reset button: the CPU's reset sequence through the running board.
void hardware_reset();
// Reset of the running profile (classic: cpu_reset).
void machine_reset();
// One instruction (or interrupt entry) of the hardware profile; its cycles, 0 when jammed.
uint32_t hardware_step_instruction();

// The hardware profile's state beyond what the classic state blocks hold (the PPU's dot, scroll
// and pipeline, the CPU's interrupt lines, the bus), as one block for save states.
uint32_t hardware_state_size();
void hardware_state_save(uint8_t* out);
void hardware_state_load(const uint8_t* in);

// The byte an opcode fetch at pc sees: the page mapped there, or flat memory.
uint8_t machine_opcode_at(const CpuContext& ctx, uint16_t pc);
// Runs one instruction of the running profile and returns the cycles it took; 0 when the CPU
// is stuck on an opcode it cannot run (classic: an undocumented one), which it leaves PC on.
uint32_t machine_step_instruction();
