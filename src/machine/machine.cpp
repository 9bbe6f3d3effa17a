#include "machine/machine.h"

CpuContext* shadow_context = nullptr;
uint8_t* vram = nullptr;
uint8_t* frame_buffer = nullptr;
