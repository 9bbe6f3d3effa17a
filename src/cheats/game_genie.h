// Game Genie codes patch the program data that is mapped at their addresses.
#pragma once

// Applies every code of the list to the banks now mapped; called after each program-bank sync.
void gg_apply_all();
