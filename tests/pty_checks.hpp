// Checks on a program in a pseudo-terminal that the terminal tests share.
#pragma once

#include <gtest/gtest.h>

#include <chrono>

#include "tests/pty_harness.hpp"

namespace pty_test {

// The cursor goes there once the output in flight has landed.
inline void expect_cursor(PtyProgram& run, int row, int col) {
  wait_until(run, [&] { return cursor(run).row == row && cursor(run).col == col; }, std::chrono::seconds(10));
  const Position at = cursor(run);
  EXPECT_EQ(at.row, row) << screen_text(run);
  EXPECT_EQ(at.col, col) << screen_text(run);
}

}  // namespace pty_test
