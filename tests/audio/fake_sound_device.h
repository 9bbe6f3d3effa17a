// A sound device for tests: logs every call where the test can read it after the device is gone,
// refuses the cooperative level or a buffer on request, and plays until the test says the buffer
// has finished.
#pragma once

#include <string>
#include <vector>

#include "audio/sound_device.h"

struct FakeSoundLog {
  std::vector<std::string> calls;            // "create 735", "set_position 4", "close", ...
  std::vector<std::vector<uint8_t>> blocks;  // each buffer's bytes when it starts playing
  bool cooperative_ok = true;
  bool create_ok = true;
  bool finished = false;  // the playing buffer has reached its end
};

class FakeSoundDevice : public SoundDevice {
 public:
  explicit FakeSoundDevice(FakeSoundLog& log) : log_(log) {}
  ~FakeSoundDevice() override { note("close"); }

  bool set_cooperative_level() override {
    note("set_cooperative_level");
    return log_.cooperative_ok;
  }
  bool create_buffer(uint32_t size) override {
    note("create " + std::to_string(size));
    if (log_.create_ok) buffer_.assign(size, 0xEE);
    return log_.create_ok;
  }
  SoundLock lock() override {
    note("lock");
    return {buffer_.data(), uint32_t(buffer_.size())};
  }
  void unlock(const SoundLock&) override { note("unlock"); }
  void set_position(uint32_t position) override {
    note("set_position " + std::to_string(position));
    position_ = position;
  }
  void play() override {
    note("play");
    if (!playing_) log_.blocks.push_back(buffer_);
    playing_ = true;
    log_.finished = false;
  }
  uint32_t position() override {
    note("position");
    return log_.finished ? 0 : position_;
  }
  void stop() override { note("stop"); }
  void release_buffer() override {
    note("release");
    playing_ = false;
  }

 private:
  void note(std::string call) { log_.calls.push_back(std::move(call)); }

  FakeSoundLog& log_;
  std::vector<uint8_t> buffer_;
  uint32_t position_ = 0;
  bool playing_ = false;
};
