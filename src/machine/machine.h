// The machine's memory: the CPU record it installs, the PPU's 16 KB of VRAM and the frame
// buffer. All are allocated at power-on and freed at power-off.
#pragma once

#include <cstdint>

#include "cpu/cpu.h"

inline constexpr uint32_t kFlatMemorySize = 0x10000;
inline constexpr uint32_t kVramSize = 0x4000;
inline constexpr uint32_t kFrameRowBytes = 272;  // 256 visible pixels and 16 bytes of slack
inline constexpr uint32_t kFrameRows = 240;
inline constexpr uint32_t kFrameBufferSize = kFrameRowBytes * kFrameRows;

// The machine's own copy of the CPU record. Whoever reads registers or memory outside
// cpu_execute refreshes it with cpu_get_context first.
extern CpuContext* shadow_context;
// The PPU's memory, indexed by PPU address $0000-$3FFF.
extern uint8_t* vram;
// 240 rows of kFrameRowBytes colour indices, handed to the video plug-in.
extern uint8_t* frame_buffer;

// Allocates and wires the machine around the loaded cartridge and resets the CPU.
void machine_power_on();
// Frees what power-on allocated and unloads the cartridge.
void machine_power_off();
