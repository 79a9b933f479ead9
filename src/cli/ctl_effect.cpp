#include "cli/ctl_effect.h"

#include <string>

#include "cli/ctl_commands.h"
#include "cli/hex_text.h"

namespace korvane::cli {

int runEffectCommand(const lighting::effects::EffectReplay& effect, std::ostream& out) {
    std::string line;
    lighting::effects::ReplayEffect(effect, [&](const lighting::effects::ReplayedStep& step) {
        line = "step " + std::to_string(step.index) + " frame " + formatHex(step.frame, 0) +
               " preview " + formatHex(step.preview, 0) + '\n';
        out << line;
    });
    out << "result 1\n";
    return kExitDone;
}

}  // namespace korvane::cli
