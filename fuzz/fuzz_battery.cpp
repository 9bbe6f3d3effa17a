// Uses the input as the battery save of a cartridge that adds one to $6000 each frame, runs three
// frames and checks what became of the file: a whole save is read and written back with only
// that byte changed; any other file is left exactly as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "fuzz_support.h"
#include "shell/headless/headless_run.h"
#include "state/battery.h"

namespace {

// Mapper 0 with the battery flag: reset turns the NMI on and loops, the NMI does INC $6000.
std::vector<uint8_t> battery_cartridge() {
  std::vector<uint8_t> image = {'N', 'E', 'S', 0x1A, 1, 1, 0x02, 0};
  image.resize(16 + 16384 + 8192);
  const uint8_t code[] = {0xA9, 0x80, 0x8D, 0x00, 0x20, 0x4C, 0x05, 0xC0,  // $C000
                          0xEE, 0x00, 0x60, 0x40};                          // $C008: NMI
  for (size_t i = 0; i < sizeof code; ++i) image[16 + i] = code[i];
  const uint8_t vectors[] = {0x08, 0xC0, 0x00, 0xC0, 0x08, 0xC0};
  for (size_t i = 0; i < sizeof vectors; ++i) image[16 + 0x3FFA + i] = vectors[i];
  return image;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static QuietHost quiet;
  static const ScratchFile rom("battery.nes");
  static const ScratchFile save("battery.sav");  // the name the save of rom gets in /tmp
  static const std::vector<uint8_t> image = battery_cartridge();
  host_install(&quiet);
  rom.write(image.data(), image.size());
  save.write(data, size);
  battery_config = {true, "/tmp"};
  HeadlessRun run;
  run.frames = 3;
  headless_run(rom.path(), run);

  const std::vector<uint8_t> before(data, data + size), after = save.read();
  if (size != kBatteryRamSize) {
    if (after != before) std::abort();  // a refused save is never overwritten
  } else if (after.size() != kBatteryRamSize ||
             !std::equal(before.begin() + 1, before.end(), after.begin() + 1) ||
             after[0] == before[0]) {
    std::abort();
  }
  return 0;
}
