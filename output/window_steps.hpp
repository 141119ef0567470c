// The window steps of the one pass (codes::code_windows), compiled once for
// each instruction set that the build's processor may have, and the one
// that the one pass takes, chosen once at start. Every step codes the same
// windows to the same codes; they differ only in speed.
#pragma once

#include <string_view>
#include <vector>

#include "output/answer_codes.hpp"

namespace output {

struct WindowStep {
  std::string_view name;  // the instruction set: "ssse3", "sse2", "neon", "generic"
  void (*code_windows)(codes::Answers& answers);
};

// The steps this processor runs, the fastest first
// (window_steps_<processor>.cpp).
std::vector<WindowStep> window_steps_here();

// The step the one pass takes: the first of window_steps_here(), unless the
// environment variable GBK_WINDOW_STEP names another of them, so that the
// tests can take each in turn.
const WindowStep& chosen_window_step();

}  // namespace output
