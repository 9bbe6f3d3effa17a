// The platform's sound device as the sound output uses it: one short one-shot buffer at a time,
// unsigned 8-bit mono samples at 44,100 Hz. The buffer is created, filled through lock/unlock,
// played once from a chosen position, and its play position is read back to learn whether it
// has finished: a buffer that has played to its end reports position 0.
//
// Host::sound_device_open() hands out a device; deleting it closes the device (and frees a
// buffer still held). All calls come from the emulation thread.
#pragma once

#include <cstdint>
#include <vector>

// The whole buffer, as handed out by lock() for writing.
struct SoundLock {
  uint8_t* data;
  uint32_t size;
};

class SoundDevice {
 public:
  virtual ~SoundDevice() = default;

  // Asks for normal (shared) use of the device for the main window. True on success.
  virtual bool set_cooperative_level() = 0;
  // Creates the device's one buffer, `size` bytes, after any earlier one has been released. True
  // on success; on failure there is no buffer.
  virtual bool create_buffer(uint32_t size) = 0;
  // The whole buffer for writing, until unlock() with the same region.
  virtual SoundLock lock() = 0;
  virtual void unlock(const SoundLock& region) = 0;
  // Moves the play cursor to a byte offset, whether or not the buffer is playing.
  virtual void set_position(uint32_t position) = 0;
  // Plays the buffer once from the play cursor, without looping; already playing, it plays on.
  virtual void play() = 0;
  // The play cursor: 0 once the buffer has played to its end.
  virtual uint32_t position() = 0;
  // Stops playing; the cursor stays where it is.
  virtual void stop() = 0;
  // Frees the buffer, playing or not.
  virtual void release_buffer() = 0;
};

// A device with no output, for hosts without sound that still want the sound output to run (the
// headless tool records blocks through sound_sink): every operation succeeds and a buffer has
// finished as soon as it is played.
class SilentSoundDevice : public SoundDevice {
 public:
  bool set_cooperative_level() override { return true; }
  bool create_buffer(uint32_t size) override {
    buffer_.assign(size, 128);
    return true;
  }
  SoundLock lock() override { return {buffer_.data(), static_cast<uint32_t>(buffer_.size())}; }
  void unlock(const SoundLock&) override {}
  void set_position(uint32_t) override {}
  void play() override {}
  uint32_t position() override { return 0; }
  void stop() override {}
  void release_buffer() override { buffer_.clear(); }

 private:
  std::vector<uint8_t> buffer_;
};
