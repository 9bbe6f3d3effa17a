// Instructions per second of the CPU core on a realistic mix: zero-page and RAM loads and
// stores, an indexed loop with ADC, CMP and branches, a subroutine, reads from ROM through the
// program pages and one PPU-status read a pass through the handler table. The machine's
// handler tables and page slots are set up as at power-on; the core runs 114-cycle slices like
// the frame loop does. The mix runs from RAM ($0200) and from a PRG page ($8000).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "cpu/cpu.h"
#include "cpu/hw_cpu.h"
#include "cpu/opcodes.h"

namespace {

std::vector<uint8_t> flat(0x10000);
std::vector<uint8_t> prg(0x8000);  // the cartridge's program data, slots 4-7

uint32_t ram_mirror_read(uint32_t address, MemHandler*) { return flat[address & 0x7FF]; }
uint32_t register_read(uint32_t, MemHandler*) { return 0x80; }
uint32_t sram_read(uint32_t address, MemHandler*) { return flat[address]; }
void ram_mirror_write(uint32_t address, uint32_t value, MemHandler*) {
  flat[address & 0x7FF] = uint8_t(value);
}
void register_write(uint32_t, uint32_t, MemHandler*) {}
void ignore_write(uint32_t, uint32_t, MemHandler*) {}
void sram_write(uint32_t address, uint32_t value, MemHandler*) { flat[address] = uint8_t(value); }

MemHandler read_table[] = {
    {0x0800, 0x1FFF, ram_mirror_read, 0},
    {0x2000, 0x4017, register_read, 0},
    {0x6000, 0x7FFF, sram_read, 0},
    {kMemHandlerEnd, kMemHandlerEnd, {}, 0},
};
MemHandler write_table[] = {
    {0x0800, 0x1FFF, ram_mirror_write, 0}, {0x2000, 0x4017, register_write, 0},
    {0x4100, 0x5FFF, ignore_write, 0},     {0x6000, 0x7FFF, sram_write, 0},
    {0x8000, 0xFFFF, ignore_write, 0},     {kMemHandlerEnd, kMemHandlerEnd, {}, 0},
};

// The mix, assembled for a load address.
std::vector<uint8_t> assemble_mix(uint16_t base) {
  const uint16_t sub = base + 3, start = sub + 13, loop = start + 2;
  const uint16_t after_bne = loop + 24;
  return {
      0x4C,
      uint8_t(start),
      uint8_t(start >> 8),  //        JMP start
      0xA4,
      0x11,  // sub:   LDY $11
      0xB1,
      0x20,  //        LDA ($20),Y   ROM table
      0xC9,
      0x80,  //        CMP #$80
      0x90,
      0x02,  //        BCC skip
      0x49,
      0xFF,  //        EOR #$FF
      0x85,
      0x14,  // skip:  STA $14
      0x60,  //        RTS
      0xA2,
      0x00,  // start: LDX #0
      0xBD,
      0x00,
      0x03,  // loop:  LDA $0300,X
      0x18,  //        CLC
      0x65,
      0x10,  //        ADC $10
      0x85,
      0x10,  //        STA $10
      0xBD,
      0x00,
      0x80,  //        LDA $8000,X   ROM
      0x29,
      0x0F,  //        AND #$0F
      0x9D,
      0x00,
      0x04,  //        STA $0400,X
      0x20,
      uint8_t(sub),
      uint8_t(sub >> 8),  //        JSR sub
      0xE8,               //        INX
      0xE0,
      0x40,  //        CPX #$40
      0xD0,
      uint8_t(loop - after_bne),  //        BNE loop
      0xE6,
      0x11,  //        INC $11
      0xAD,
      0x02,
      0x20,  //        LDA $2002     PPU status
      0x4C,
      uint8_t(start),
      uint8_t(start >> 8),  //        JMP start
  };
}

uint8_t mapped_byte(const CpuContext& c, uint16_t address) {
  const uint8_t* page = c.pages[address >> 13];
  return page ? page[address & 0x1FFF] : c.memory[address];
}

// Instructions per cycle of the mix, found by stepping one instruction at a time (a budget of
// exactly one instruction's cost) for a whole number of passes.
double instructions_per_cycle() {
  uint32_t instructions = 0;
  cpu_get_cycles(1);
  for (; instructions < 100000; ++instructions) {
    CpuContext c;
    cpu_get_context(&c);
    const uint8_t cost = kOpcodes[mapped_byte(c, c.pc)].cycles;
    if (cost == 0 || cpu_execute(cost) != kCpuBudgetSpent) return 0;  // the mix went astray
  }
  return double(instructions) / cpu_get_cycles(1);
}

// A branch-heavy loop: DEX/BNE counting down, then DEY/BNE around it.
std::vector<uint8_t> assemble_branches(uint16_t base) {
  return {0xA2, 0x00,                                // start: LDX #0
          0xCA, 0xD0,          0xFD,                 // inner: DEX, BNE inner
          0x88, 0xD0,          0xF8,                 //        DEY, BNE start
          0x4C, uint8_t(base), uint8_t(base >> 8)};  //        JMP start
}

// A status-polling loop, as games wait for vertical blank: every pass reads a register through
// the handler table.
std::vector<uint8_t> assemble_polling(uint16_t base) {
  return {0x2C, 0x02,          0x20,                 // poll: BIT $2002
          0x10, 0xFB,                                //       BPL poll
          0x4C, uint8_t(base), uint8_t(base >> 8)};  //       JMP poll
}

void install(uint16_t code_at, std::vector<uint8_t> (*assemble)(uint16_t) = assemble_mix) {
  std::fill(flat.begin(), flat.end(), 0);
  std::fill(prg.begin(), prg.end(), 0);
  const std::vector<uint8_t> code = assemble(code_at);
  std::copy(code.begin(), code.end(), code_at >= 0x8000 ? &prg[code_at - 0x8000] : &flat[code_at]);
  for (int i = 0; i < 0x40; ++i) flat[0x300 + i] = uint8_t(i * 7);
  flat[0x20] = 0x00, flat[0x21] = 0x81;  // ($20) -> $8100, zeros: BCC always taken
  CpuContext c{};
  c.memory = flat.data();
  c.read_handlers = read_table;
  c.write_handlers = write_table;
  c.pages[3] = flat.data() + 0x6000;
  for (int i = 0; i < 4; ++i) c.pages[4 + i] = prg.data() + i * 0x2000;
  c.pc = code_at;
  c.s = 0xFF;
  c.p = 0x24;
  cpu_set_context(&c);
  cpu_set_program_region(prg.data(), uint32_t(prg.size()));
}

void run_mix(benchmark::State& state, uint16_t code_at,
             std::vector<uint8_t> (*assemble)(uint16_t) = assemble_mix) {
  install(code_at, assemble);
  const double ipc = instructions_per_cycle();
  if (ipc == 0) return state.SkipWithError("the mix met an unsupported opcode");
  cpu_get_cycles(1);
  for (auto _ : state) benchmark::DoNotOptimize(cpu_execute(114));
  if (cpu_execute(114) != kCpuBudgetSpent) return state.SkipWithError("the mix went astray");
  const double instructions = cpu_get_cycles(1) * ipc;
  state.counters["ips"] = benchmark::Counter(instructions, benchmark::Counter::kIsRate);
}

void BM_CpuMixFromRam(benchmark::State& state) { run_mix(state, 0x0200); }
void BM_CpuMixFromPrg(benchmark::State& state) { run_mix(state, 0x8000); }
void BM_CpuBranchLoop(benchmark::State& state) { run_mix(state, 0x8000, assemble_branches); }
void BM_CpuHandlerPolling(benchmark::State& state) { run_mix(state, 0x8000, assemble_polling); }

// The cycle-stepped CPU on the same mix from RAM, over a plain 64 KB bus with quiet interrupt
// lines: the cost of stepping every cycle through the bus, before any device is attached.
struct FlatBus {
  uint8_t read(uint16_t address) { return flat[address]; }
  void write(uint16_t address, uint8_t v) { flat[address] = v; }
  bool nmi_line() const { return false; }
  bool irq_line() const { return false; }
};

void BM_HwCpuMixFromRam(benchmark::State& state) {
  install(0x0200);
  FlatBus bus;
  HwCpu<FlatBus> cpu(bus);
  CpuContext c;
  cpu_get_context(&c);
  cpu.load(c);
  uint64_t instructions = 0;
  for (auto _ : state) {
    if (cpu.step() != kCpuBudgetSpent) return state.SkipWithError("the mix went astray");
    ++instructions;
  }
  state.counters["ips"] = benchmark::Counter(double(instructions), benchmark::Counter::kIsRate);
  state.counters["cycles/s"] = benchmark::Counter(double(cpu.cycles), benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(BM_CpuMixFromRam);
BENCHMARK(BM_CpuMixFromPrg);
BENCHMARK(BM_CpuBranchLoop);
BENCHMARK(BM_CpuHandlerPolling);
BENCHMARK(BM_HwCpuMixFromRam);
