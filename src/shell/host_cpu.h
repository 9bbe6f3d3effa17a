// The host processor: MMX and FPU detection, a short model report for the debug output, and the
// block copy used by sprite DMA, chosen once at start-up.
#pragma once

#include <cstdint>

using BlockCopyFn = void (*)(void* destination, const void* source, uint32_t count);

extern uint8_t has_mmx;
extern uint8_t has_fpu;
extern BlockCopyFn block_copy;  // block_copy_plain until host_cpu_choose_copy runs

uint8_t host_has_mmx();
uint8_t host_has_fpu();
// CPUID function 1: EAX & $3FFF (stepping, model, family, type), or 0.
uint32_t host_cpu_signature();
// The debug-output line for a processor signature, or null when there is none.
const char* host_cpu_report_line(uint32_t signature);
// Writes the line for this processor to the debug output, or nothing.
void host_cpu_report();

// Copy count bytes (a positive multiple of 8) in 8-byte blocks, in ascending order.
void block_copy_mmx(void* destination, const void* source, uint32_t count);
void block_copy_fpu(void* destination, const void* source, uint32_t count);
void block_copy_plain(void* destination, const void* source, uint32_t count);

// The start-up choice: sets has_mmx and has_fpu, picks block_copy, reports on the debug output.
void host_cpu_choose_copy();
