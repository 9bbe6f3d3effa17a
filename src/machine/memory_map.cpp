#include "machine/memory_map.h"

#include "cart/mapper.h"
#include "machine/machine.h"
#include "ppu/ppu.h"

// Internal RAM ($0000-$07FF) and the ROM ($8000-$FFFF) are not in the read table: the page
// table and flat memory serve them without a function call.
MemHandler machine_read_handlers[4] = {
    {0x0800, 0x1FFF, ram_mirror_read, 0},
    {0x2000, 0x4017, ppu_read_register, 0},
    {0x6000, 0x7FFF, sram_read, 0},
    {kMemHandlerEnd, kMemHandlerEnd, {}, 0},
};

MemHandler machine_write_handlers[6] = {
    {0x0800, 0x1FFF, ram_mirror_write, 0}, {0x2000, 0x4017, ppu_write_register, 0},
    {0x4100, 0x5FFF, ignore_write, 0},     {0x6000, 0x7FFF, sram_write, 0},
    {0x8000, 0xFFFF, ignore_write, 0},     {kMemHandlerEnd, kMemHandlerEnd, {}, 0},
};

uint32_t ram_mirror_read(uint32_t address, MemHandler*) {
  return shadow_context->memory[address & 0x07FF];
}

void ram_mirror_write(uint32_t address, uint32_t value, MemHandler*) {
  shadow_context->memory[address & 0x07FF] = uint8_t(value);
}
