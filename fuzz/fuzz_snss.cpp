// Loads the input as a save state into a running machine, then runs a frame. The machine plays
// a small image built here: a 16 KB program that loops at $8000.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <vector>

#include "audio/sound.h"
#include "cart/cartridge.h"
#include "fuzz_support.h"
#include "machine/frame.h"
#include "machine/machine.h"
#include "state/snss.h"

namespace {

std::vector<uint8_t> small_image() {
  std::vector<uint8_t> image = {'N', 'E', 'S', 0x1A, 1, 1};
  image.resize(kInesHeaderSize + kPrgUnit + kChrUnit);
  uint8_t* prg = image.data() + kInesHeaderSize;
  const uint8_t loop[] = {0xE6, 0x10, 0x4C, 0x00, 0x80};  // INC $10, JMP $8000
  std::copy(std::begin(loop), std::end(loop), prg);
  prg[0x3FFA] = 0x04, prg[0x3FFB] = 0x80;  // NMI: the JMP
  prg[0x3FFD] = 0x80;                      // reset: $8000
  prg[0x3FFE] = 0x04, prg[0x3FFF] = 0x80;  // IRQ: the JMP
  return image;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static QuietHost quiet;
  static const ScratchFile state("state.ss0"), rom("rom.nes");
  static const bool written = (rom.write(small_image().data(), small_image().size()), true);
  (void)written;
  host_install(&quiet);
  if (cartridge.cartridge_load(rom.path()) != LoadResult::Ok) __builtin_trap();
  machine_power_on();
  sound_init();
  snss_file.state_load_snss(state.write(data, size));
  machine_run_frame();
  sound_release();
  machine_power_off();
  return 0;
}
