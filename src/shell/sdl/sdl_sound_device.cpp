#include "shell/sdl/sdl_sound_device.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

namespace {

constexpr int kSampleRate = 44100;
constexpr Uint16 kCallbackFrames = 512;  // about 11.6 ms per callback
constexpr uint8_t kSilence = 128;

// SDL's audio thread pulls samples through the callback, which plays the one-shot buffer from
// its cursor and outputs silence around it. The cursor counts the bytes handed to SDL; when the
// last one has gone, the buffer stops and the cursor returns to 0, which is how the sound output
// learns that the buffer has finished.
//
// The emulation thread fills a staging copy between lock() and unlock(); unlock() moves it into
// the played bytes under the mutex, so the callback never sees a half-written buffer.
class SdlSoundDevice final : public SoundDevice {
 public:
  SdlSoundDevice() = default;
  SdlSoundDevice(const SdlSoundDevice&) = delete;
  SdlSoundDevice& operator=(const SdlSoundDevice&) = delete;

  // Needs SDL's audio subsystem to be initialised; the device quits it again when deleted.
  bool open() {
    SDL_AudioSpec want{};
    want.freq = kSampleRate;
    want.format = AUDIO_U8;
    want.channels = 1;
    want.samples = kCallbackFrames;
    want.callback = &SdlSoundDevice::callback;
    want.userdata = this;
    SDL_AudioSpec have{};
    // No changes allowed: SDL converts our format to the hardware's where needed.
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device_ == 0) return false;
    SDL_PauseAudioDevice(device_, 0);
    return true;
  }

  ~SdlSoundDevice() override {
    if (device_ != 0) SDL_CloseAudioDevice(device_);  // returns once the callback has ended
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }

  bool set_cooperative_level() override { return true; }

  bool create_buffer(uint32_t size) override {
    if (size == 0) return false;
    staging_.assign(size, kSilence);
    std::lock_guard lock(mutex_);
    buffer_.assign(size, kSilence);
    cursor_ = 0;
    playing_ = false;
    return true;
  }

  SoundLock lock() override { return {staging_.data(), static_cast<uint32_t>(staging_.size())}; }

  void unlock(const SoundLock&) override {
    std::lock_guard lock(mutex_);
    std::copy_n(staging_.begin(), std::min(staging_.size(), buffer_.size()), buffer_.begin());
  }

  void set_position(uint32_t position) override {
    std::lock_guard lock(mutex_);
    cursor_ = std::min<size_t>(position, buffer_.size());
  }

  void play() override {
    std::lock_guard lock(mutex_);
    if (!buffer_.empty()) playing_ = true;
  }

  uint32_t position() override {
    std::lock_guard lock(mutex_);
    return static_cast<uint32_t>(cursor_);
  }

  void stop() override {
    std::lock_guard lock(mutex_);
    playing_ = false;
  }

  void release_buffer() override {
    staging_.clear();
    std::lock_guard lock(mutex_);
    buffer_.clear();
    cursor_ = 0;
    playing_ = false;
  }

 private:
  static void SDLCALL callback(void* userdata, Uint8* stream, int length) {
    static_cast<SdlSoundDevice*>(userdata)->fill(stream, static_cast<size_t>(length));
  }

  void fill(Uint8* stream, size_t length) {
    std::memset(stream, kSilence, length);
    std::lock_guard lock(mutex_);
    if (!playing_) return;
    const size_t count = std::min(length, buffer_.size() - cursor_);
    std::memcpy(stream, buffer_.data() + cursor_, count);
    cursor_ += count;
    if (cursor_ == buffer_.size()) {
      playing_ = false;
      cursor_ = 0;
    }
  }

  SDL_AudioDeviceID device_ = 0;
  std::vector<uint8_t> staging_;  // emulation thread only

  std::mutex mutex_;  // guards what the callback reads
  std::vector<uint8_t> buffer_;
  size_t cursor_ = 0;
  bool playing_ = false;
};

}  // namespace

SoundDevice* sdl_sound_device_open() {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return nullptr;
  auto* device = new SdlSoundDevice;
  if (!device->open()) {
    delete device;  // quits the subsystem again
    return nullptr;
  }
  return device;
}
