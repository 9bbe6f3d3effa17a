#include "shell/plugin_loader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "shell/plugins.h"
#include "shell/registry.h"
#include "support/recording_host.h"

namespace {

// A plug-in that cannot be loaded, or lacks an export, is reported, replaced by the do-nothing
// slots, and its setting is emptied so that the next start asks again.
TEST(PluginLoader, InvalidPluginsFallBackToTheNullPlugin) {
  for (const char* path : {VANTRELL_INCOMPLETE_PLUGIN, "/nonexistent/video.so", ""}) {
    RecordingHost rec;
    registry_set_string(kRegistryPlugins, "Video", "chosen.so");
    video_plugin.render = [] { FAIL() << "the old slot stayed"; };
    std::snprintf(video_plugin_path, kPluginPathSize, "%s", path);
    plugin_load_video();
    ASSERT_EQ(rec.messages.size(), 1u) << path;
    EXPECT_EQ(rec.messages[0].text, "Video Plugin DLL is invalid!  Reverting to NULL Plugin");
    EXPECT_EQ(rec.messages[0].caption, "Error in Plugin!");
    EXPECT_EQ(video_plugin.render, &plugin_null_void);
    EXPECT_EQ(video_plugin.snapshot, &plugin_null_snapshot);
    char value[kRegistryStringSize] = "x";
    ASSERT_EQ(registry_get_string(kRegistryPlugins, "Video", value), 0);
    EXPECT_STREQ(value, "");
  }
  video_plugin_path[0] = 0;
}

TEST(PluginLoader, EnumerationListsOnlyPluginsWithTheExport) {
  // The incomplete plug-in exports FN_VIDEO_INIT but no FN_INPUT_INIT; enumeration searches the
  // current directory, so run it from the plug-in's folder.
  const std::filesystem::path old = std::filesystem::current_path();
  std::filesystem::current_path(std::filesystem::path(VANTRELL_INCOMPLETE_PLUGIN).parent_path());
  const auto video = plugin_enumerate("FN_VIDEO_INIT"), input = plugin_enumerate("FN_INPUT_INIT");
  std::filesystem::current_path(old);
  EXPECT_NE(std::find(video.begin(), video.end(), "incomplete_video_plugin.so"), video.end());
  EXPECT_EQ(std::find(input.begin(), input.end(), "incomplete_video_plugin.so"), input.end());
}

}  // namespace
