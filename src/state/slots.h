// The main window's save-state commands: the ten quick slots (saveslot.ss0 … saveslot.ss9 in
// the state directory) and save and load through a file dialog. Each does nothing while no game
// runs and pauses the game for its length; the machine state itself is read or replaced on the
// emulation thread between two frames.
#pragma once

#include "state/snss.h"

// Chooses the slot (0-9) of the quick commands; slot 0 at start-up. Other numbers are ignored.
void state_select_slot(int slot);
void state_quick_load();
void state_quick_save();
void state_load_dialog();
void state_save_dialog();
