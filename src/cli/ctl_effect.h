#pragma once

#include <ostream>

#include "core/lighting/effects/effect_replay.h"

namespace korvane::cli {

// "effect": one line per step, "step I frame HEX preview HEX", then "result 1". Returns the
// exit code.
int runEffectCommand(const lighting::effects::EffectReplay& effect, std::ostream& out);

}  // namespace korvane::cli
