#include "shell/plugins.h"

VideoPluginSlots video_plugin = {plugin_null_video_init, plugin_null_void, plugin_null_void,
                                 plugin_null_void,       plugin_null_void, plugin_null_void,
                                 plugin_null_snapshot};
InputPluginSlots input_plugin = {plugin_null_input_init, plugin_null_void, plugin_null_void,
                                 plugin_null_get_data};

void plugin_null_video_init(VideoInitInfo*) {}
void plugin_null_void() {}
void plugin_null_snapshot(const char*) {}
void plugin_null_input_init(InputInitInfo*) {}
uint32_t plugin_null_get_data(uint32_t) { return 0; }

void plugin_null_video() {
  video_plugin = {plugin_null_video_init, plugin_null_void, plugin_null_void,    plugin_null_void,
                  plugin_null_void,       plugin_null_void, plugin_null_snapshot};
}

void plugin_null_input() {
  input_plugin = {plugin_null_input_init, plugin_null_void, plugin_null_void, plugin_null_get_data};
}
