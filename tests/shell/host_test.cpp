#include "shell/host.h"

#include <gtest/gtest.h>

namespace {

TEST(Host, HeadlessAnswersWithTheDefaultButton) {
  HeadlessHost h;
  EXPECT_EQ(h.message_box("t", "c", MessageButtons::Ok, MessageIcon::Exclamation, true),
            MessageResult::Ok);
  EXPECT_EQ(h.message_box("t", "c", MessageButtons::YesNo, MessageIcon::Question, true),
            MessageResult::No);
}

}  // namespace
