// Any other processor: one step, in word code.
#include "output/window_steps.hpp"

namespace output {

std::vector<WindowStep> window_steps_here() {
  return {{"generic", [](codes::Answers& answers) { codes::code_windows<textio::Instructions::generic>(answers); }}};
}

}  // namespace output
