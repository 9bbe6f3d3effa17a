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
  RomRun out;
  out.loaded = r.load == LoadResult::Ok || r.load == LoadResult::DirtyHeader;
  out.memory = std::move(r.memory);
  out.frame = std::move(r.frame);
  out.sound = std::move(r.sound);
  out.cpu_result = r.cpu_result;
  return out;
}
