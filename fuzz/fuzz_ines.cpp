// Loads the input as a cartridge image and, when it loads, runs three frames of it headless.
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "shell/headless/headless_run.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static QuietHost quiet;
  static const ScratchFile rom("rom.nes");
  host_install(&quiet);
  HeadlessRun run;
  run.frames = 3;
  headless_run(rom.write(data, size), run);
  return 0;
}
