// The input plug-in's options dialog: a key for each button of each joypad, and an alternate.
#pragma once

#include "input_keyboard/key_bindings.h"

class QWidget;

// Shows the modal dialog over `parent` (may be null), starting from *bindings. On OK stores the
// edited bindings in *bindings and returns true.
bool run_input_options_dialog(QWidget* parent, KeyBindings* bindings);
