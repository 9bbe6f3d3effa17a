#include "support/rom_runner.h"

#include <algorithm>

#include "shell/headless/headless_run.h"

std::string rom_path(const std::string& name) {
  return std::string(VANTRELL_ROM_DIR) + "/" + name + ".nes";
}

RomRun run_rom(const std::string& name, uint32_t frames, const std::vector<RomInput>& input) {
  HeadlessRun run;
  run.frames = frames;
  run.keep_sound = true;
  for (const RomInput& i : input) run.input.push_back({i.frame, i.port, i.stream});
  std::stable_sort(run.input.begin(), run.input.end(),
                   [](const InputEvent& a, const InputEvent& b) { return a.frame < b.frame; });
  HeadlessResult r = headless_run(rom_path(name), run);
  if (r.load != LoadResult::Ok && r.load != LoadResult::DirtyHeader) {
    ADD_FAILURE() << name << " does not load";
    return {std::vector<uint8_t>(0x10000), std::vector<uint8_t>(240 * 272), {}, 0};
  }
  return {std::move(r.memory), std::move(r.frame), std::move(r.sound), r.cpu_result};
}
