#include "cheats/game_genie.h"

// The code list and its decoder arrive with the Game Genie dialog; until then the list is empty
// and there is nothing to patch.
void gg_apply_all() {}
