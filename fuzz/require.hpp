// A rule every input must keep: a broken one aborts, so libFuzzer keeps the input.
#pragma once

#include <cstdio>
#include <cstdlib>

inline void require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "broken: %s\n", what);
  std::abort();
}
