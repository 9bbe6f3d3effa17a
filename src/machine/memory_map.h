// The NES address space as the CPU core's handler tables describe it.
#pragma once

#include "cpu/cpu.h"

// Read: $0800-$1FFF RAM mirrors, $2000-$4017 registers, $6000-$7FFF SRAM.
extern MemHandler machine_read_handlers[4];
// Write: RAM mirrors, registers, $4100-$5FFF ignored, SRAM, $8000-$FFFF the mapper.
extern MemHandler machine_write_handlers[6];

uint32_t ram_mirror_read(uint32_t address, MemHandler* entry);
void ram_mirror_write(uint32_t address, uint32_t value, MemHandler* entry);
