#include "audio/sound.h"

#include "audio/apu_fixture.h"
#include "audio/fake_sound_device.h"
#include "support/recording_host.h"

namespace {

using Calls = std::vector<std::string>;
const Calls kPlayBlock = {"create 735", "lock",           "unlock", "set_position 0",
                          "play",       "set_position 4", "play"};

class SoundHost : public RecordingHost {
 public:
  SoundDevice* sound_device_open() override {
    return has_device ? new FakeSoundDevice(log) : nullptr;
  }
  bool has_device = true;
  FakeSoundLog log;
};

class SoundTest : public ApuTest {
 protected:
  void SetUp() override {
    ApuTest::SetUp();
    sunk_.clear();
    sound_sink = [](const uint8_t* samples, uint32_t count) {
      sunk_.emplace_back(samples, samples + count);
    };
  }
  void TearDown() override {
    sound_release();
    sound_sink = nullptr;
    sound_enabled = true;
    ApuTest::TearDown();
  }

  // Square 1 at full volume, so that every block differs from silence and from the next.
  static void start_tone() {
    write({{0x4015, 0x01}, {0x4000, 0xBF}, {0x4001, 0}, {0x4002, 0x40}, {0x4003, 0x18}});
  }
  // The device calls made by one frame.
  Calls frame() {
    const size_t before = host_.log.calls.size();
    sound_frame();
    return Calls(host_.log.calls.begin() + before, host_.log.calls.end());
  }

  static inline std::vector<std::vector<uint8_t>> sunk_;
  SoundHost host_;
};

// Only an opened device resets the APU; without one, channels left off stay off and the frames
// are silence, yet they still reach the sink.
TEST_F(SoundTest, InitResetsTheApuOnlyWithADevice) {
  for (bool has_device : {false, true}) {
    host_.has_device = has_device;
    apu_channel_switches = 0;
    EXPECT_EQ(sound_init(), has_device ? 0 : -1);
    EXPECT_EQ(apu_channel_switches, has_device ? kApuChannelAll : 0);
  }
  host_.has_device = false;
  sound_init();
  for (int i = 0; i < 3; ++i) sound_frame();
  ASSERT_EQ(sunk_.size(), 3u);
  for (const auto& block : sunk_) EXPECT_TRUE(silent(block));
  EXPECT_TRUE(host_.messages.empty());
  EXPECT_TRUE(host_.debug_lines.empty());
}

TEST_F(SoundTest, RefusedCooperativeLevelIsReportedAndTheDeviceUsed) {
  host_.log.cooperative_ok = false;
  EXPECT_EQ(sound_init(), 0);
  EXPECT_EQ(frame(), kPlayBlock);
  EXPECT_EQ(host_.shown(), Calls{"Error|DirectSound Error: Cannot Set Cooperative Level - Sound "
                                 "Disabled|-|owned"});
}

// Each block is the rendered one, played from 0 and then from 4; a block that comes while the
// previous buffer plays is dropped, and a finished buffer is stopped, released and replaced in
// the same frame.
TEST_F(SoundTest, OneBufferPerBlockUntilItFinishes) {
  sound_init();
  start_tone();
  EXPECT_EQ(frame(), kPlayBlock);
  EXPECT_EQ(frame(), Calls{"position"});
  host_.log.finished = true;
  Calls expected = {"position", "stop", "release"};
  expected.insert(expected.end(), kPlayBlock.begin(), kPlayBlock.end());
  EXPECT_EQ(frame(), expected);

  ASSERT_EQ(sunk_.size(), 3u);
  EXPECT_FALSE(silent(sunk_[0]));
  EXPECT_NE(sunk_[1], sunk_[2]);
  EXPECT_EQ(host_.log.blocks, (std::vector{sunk_[0], sunk_[2]}));
}

TEST_F(SoundTest, FailedCreateIsLoggedAndRetriedNextFrame) {
  sound_init();
  host_.log.create_ok = false;
  EXPECT_EQ(frame(), Calls{"create 735"});
  EXPECT_EQ(host_.debug_lines, Calls{"Error: Cannot Create Sound Buffer\n"});
  host_.log.create_ok = true;
  EXPECT_EQ(frame(), kPlayBlock);  // no buffer was in use, so none is waited for
}

TEST_F(SoundTest, DisabledSoundStillRendersButPlaysNothing) {
  sound_init();
  start_tone();
  sound_enabled = false;
  EXPECT_EQ(frame(), Calls{});
  EXPECT_EQ(frame(), Calls{});
  sound_enabled = true;
  EXPECT_EQ(frame(), kPlayBlock);
  ASSERT_EQ(sunk_.size(), 3u);
  EXPECT_NE(sunk_[0], sunk_[2]);  // the APU moved on while muted
  EXPECT_EQ(host_.log.blocks[0], sunk_[2]);
}

// Release and a second init free the playing buffer and the device without stopping the buffer.
// The in-use flag outlives them: the next run's first frame finds no buffer and creates one.
TEST_F(SoundTest, ReleaseFreesBufferAndDeviceWithoutStop) {
  sound_init();
  sound_frame();
  host_.log.calls.clear();
  sound_init();
  EXPECT_EQ(host_.log.calls, (Calls{"release", "close", "set_cooperative_level"}));
  EXPECT_EQ(frame(), kPlayBlock);
  host_.log.calls.clear();
  sound_release();
  EXPECT_EQ(host_.log.calls, (Calls{"release", "close"}));
}

}  // namespace
