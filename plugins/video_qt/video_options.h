// The video plug-in's own settings (scaling filter, pixel aspect), kept in the program's
// settings file under "Plugins/video_qt", and the dialog that edits them.
#pragma once

#include "video_qt/frame_scaler.h"

class QWidget;

struct VideoOptions {
  ScaleFilter filter = ScaleFilter::Sharp;
  PixelAspect aspect = PixelAspect::Square;
};

VideoOptions load_video_options();
void save_video_options(const VideoOptions& options);

// Shows the modal options dialog over `parent` (may be null). On OK stores the choice in
// *options and returns true.
bool run_video_options_dialog(QWidget* parent, VideoOptions* options);
