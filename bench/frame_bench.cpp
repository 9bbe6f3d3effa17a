// Whole frames of the demo in each profile, in one run: the classic machine and the hardware
// machine (cycle-stepped CPU, dot-clocked PPU) side by side.
#include <benchmark/benchmark.h>

#include "cart/cartridge.h"
#include "machine/frame.h"
#include "machine/machine.h"
#include "machine/profile.h"

namespace {

void BM_DemoFrames(benchmark::State& state) {
  profile_choice = state.range(0) ? Profile::Hardware : Profile::Classic;
  const LoadResult r = cartridge.cartridge_load(VANTRELL_ROM_DIR "/demo.nes");
  if (r != LoadResult::Ok) {
    cartridge.cartridge_unload();
    state.SkipWithError("build/roms/demo.nes does not load");
    return;
  }
  machine_power_on();
  for (auto _ : state) machine_run_frame();
  machine_power_off();
  profile_choice = Profile::Classic;
  state.counters["fps"] =
      benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DemoFrames)->ArgName("hardware")->Arg(0)->Arg(1);

}  // namespace
