// The function slots of the video and input plug-ins. The desktop fills them from the loaded
// shared objects; the headless tool and the tests fill them with their own functions. A slot
// that nothing fills holds a function that does nothing and returns 0.
#pragma once

#include "shell/plugin_api.h"

struct VideoPluginSlots {
  FnVideoInit init;
  FnVideoVoid options;
  FnVideoVoid destroy;
  FnVideoVoid set_fullscreen;
  FnVideoVoid render;
  FnVideoVoid move_callback;
  FnVideoSnapshot snapshot;
};

struct InputPluginSlots {
  FnInputInit init;
  FnInputVoid options;
  FnInputVoid destroy;
  FnInputGetData get_data;
};

extern VideoPluginSlots video_plugin;
extern InputPluginSlots input_plugin;

// The do-nothing replacements, one per export signature.
void plugin_null_video_init(VideoInitInfo* info);
void plugin_null_void();
void plugin_null_snapshot(const char* file_name);
void plugin_null_input_init(InputInitInfo* info);
uint32_t plugin_null_get_data(uint32_t port);

// Points every slot of a plug-in at the do-nothing functions.
void plugin_null_video();
void plugin_null_input();
