// Prints the names of the window steps this processor runs, one a line, the
// one the one pass takes first (window_steps.hpp).
#include <cstdio>

#include "output/window_steps.hpp"

int main() {
  for (const output::WindowStep& step : output::window_steps_here()) {
    std::printf("%.*s\n", static_cast<int>(step.name.size()), step.name.data());
  }
}
