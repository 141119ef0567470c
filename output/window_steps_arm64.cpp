// 64-bit ARM: one step, on NEON, which every such processor has.
#include "output/window_steps.hpp"

namespace output {

std::vector<WindowStep> window_steps_here() {
  return {{"neon", [](codes::Answers& answers) { codes::code_windows<textio::Instructions::neon>(answers); }}};
}

}  // namespace output
