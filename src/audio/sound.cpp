#include "audio/sound.h"

#include <algorithm>
#include <cstring>

#include "audio/apu.h"
#include "audio/sound_device.h"
#include "shell/host.h"

SoundSink sound_sink = nullptr;
SoundRender sound_render = apu_render;
std::atomic<bool> sound_enabled{true};

namespace {

SoundDevice* g_device = nullptr;  // owned
bool g_buffer_exists = false;
// Set when a buffer is created, cleared once a later frame has found it finished and released
// it. It survives sound_release and sound_init; the next frame then finds no buffer and clears it.
uint32_t g_buffer_in_use = 0;
uint32_t g_play_position = 0;

void release_buffer_and_device() {
  if (g_buffer_exists) {
    g_device->release_buffer();
    g_buffer_exists = false;
  }
  if (g_device) {
    delete g_device;
    g_device = nullptr;
  }
}

}  // namespace

int sound_init() {
  release_buffer_and_device();
  g_device = host().sound_device_open();
  if (!g_device) return -1;
  if (!g_device->set_cooperative_level()) {
    host().message_box("DirectSound Error: Cannot Set Cooperative Level - Sound Disabled", "Error",
                       MessageButtons::Ok, MessageIcon::None, true);
  }
  apu_reset();
  return 0;
}

void sound_frame() {
  uint8_t block[kSoundBlockSize];
  std::memset(block, 0, sizeof block);
  sound_render(block, kSoundBlockSize);
  if (sound_sink) sound_sink(block, kSoundBlockSize);
  if (!g_device || !sound_enabled.load(std::memory_order_relaxed)) return;

  if (g_buffer_in_use == 1) {
    if (g_buffer_exists) {
      g_play_position = g_device->position();
      if (g_play_position != 0) return;  // still playing: this block is dropped
      g_device->stop();
      g_device->release_buffer();
      g_buffer_exists = false;
    }
    g_buffer_in_use = 0;
  }

  if (!g_device->create_buffer(kSoundBlockSize)) {
    host().debug_output("Error: Cannot Create Sound Buffer\n");
    return;
  }
  g_buffer_exists = true;
  g_buffer_in_use = 1;
  const SoundLock region = g_device->lock();
  if (region.data) std::memcpy(region.data, block, std::min(region.size, kSoundBlockSize));
  g_device->unlock(region);

  // The second start moves the cursor past the first samples of the block.
  g_device->set_position(0);
  g_device->play();
  g_device->set_position(kSoundSkippedSamples);
  g_device->play();
}

void sound_release() { release_buffer_and_device(); }
