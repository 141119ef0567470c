// x86-64: the step compiled for SSSE3 (window_steps_ssse3.cpp) where the
// processor has it, for its byte shuffle; else the one for SSE2, which every
// x86-64 processor has.
#include "output/window_steps.hpp"

namespace output {

void code_windows_ssse3(codes::Answers& answers);

namespace {

void code_windows_sse2(codes::Answers& answers) { codes::code_windows<textio::Instructions::sse2>(answers); }

}  // namespace

std::vector<WindowStep> window_steps_here() {
  __builtin_cpu_init();
  std::vector<WindowStep> steps;
  if (__builtin_cpu_supports("ssse3")) steps.push_back({"ssse3", code_windows_ssse3});
  steps.push_back({"sse2", code_windows_sse2});
  return steps;
}

}  // namespace output
