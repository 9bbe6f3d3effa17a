#include "shell/host.h"

#include <gtest/gtest.h>

#include "support/recording_host.h"

namespace {

TEST(Host, HeadlessAnswersWithTheDefaultButton) {
  HeadlessHost h;
  EXPECT_EQ(h.message_box("t", "c", MessageButtons::Ok, MessageIcon::Exclamation, true),
            MessageResult::Ok);
  EXPECT_EQ(h.message_box("t", "c", MessageButtons::YesNo, MessageIcon::Question, true),
            MessageResult::No);
}

TEST(Host, InstallingAndRemovingARecordingHost) {
  Host* before = &host();
  {
    RecordingHost rec;
    EXPECT_EQ(&host(), &rec);
    host().message_box("text", "caption", MessageButtons::Ok, MessageIcon::None, false);
    ASSERT_EQ(rec.messages.size(), 1u);
    EXPECT_EQ(rec.messages[0].caption, "caption");
  }
  EXPECT_EQ(&host(), before);
}

}  // namespace
