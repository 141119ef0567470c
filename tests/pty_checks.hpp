// Checks on a program in a pseudo-terminal that the terminal tests share.
#pragma once

#include <gtest/gtest.h>

#include <termios.h>

#include <chrono>

#include "tests/pty_harness.hpp"

namespace pty_test {

// The cursor goes there once the output in flight has landed.
inline void expect_cursor(PtyProgram& run, int row, int col) {
  wait_until(
      run, [&] { return cursor(run).row == row && cursor(run).col == col; }, std::chrono::seconds(10));
  const Position at = cursor(run);
  EXPECT_EQ(at.row, row) << screen_text(run);
  EXPECT_EQ(at.col, col) << screen_text(run);
}

// Terminal modes that matter to an operator's shell after the run.
inline void expect_modes_as_found(const PtyProgram& run) {
  const termios now = current_modes(run);
  EXPECT_EQ(now.c_lflag, run.modes_at_start.c_lflag) << "local modes (echo, line editing, signals)";
  EXPECT_EQ(now.c_iflag, run.modes_at_start.c_iflag) << "input modes";
  EXPECT_EQ(now.c_oflag, run.modes_at_start.c_oflag) << "output modes";
  EXPECT_EQ(now.c_cc[VMIN], run.modes_at_start.c_cc[VMIN]);
  EXPECT_EQ(now.c_cc[VTIME], run.modes_at_start.c_cc[VTIME]);
  EXPECT_TRUE((now.c_lflag & ECHO) != 0 && (now.c_lflag & ICANON) != 0);
  EXPECT_TRUE(run.cursor_visible);
  EXPECT_EQ(run.mouse_mode, 0) << "mouse reports still on";
}

}  // namespace pty_test
