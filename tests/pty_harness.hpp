// Runs a program in a pseudo-terminal and reads its screen through libvterm,
// a terminal emulator library, so that tests can look at what an operator
// would see: characters, colours, cursor, title, mouse mode, terminal modes.
//
//   PtyProgram run;
//   ASSERT_TRUE(start_program(run, {.argv = {GBKCONVERT_PATH}, .rows = 30}));
//   ASSERT_TRUE(wait_for_text(run, "Any key to continue"));
//   send(run, mouse_press(1, 5, 5));
//   EXPECT_EQ(wait_for_exit(run), 0);
//
// Rows and columns count from 1, as on the console. Colours are the
// terminal's palette indices (ANSI order: 1 red, 4 blue, 8 and up bright);
// console_colour() turns them into console colour indices (1 blue, 4 red).
// Everything runs on the calling thread: the screen changes only while a
// wait_* or pump() call reads the program's output.
#pragma once

#include <sys/types.h>
#include <termios.h>

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct VTerm;
struct VTermScreen;

namespace pty_test {

struct PtyOptions {
  std::vector<std::string> argv;  // argv[0]: the program's path
  std::string working_directory;  // empty: the test's own
  int rows = 30;
  int cols = 80;
  // Added to the environment as NAME=value; TERM=xterm-256color and
  // LANG=C.UTF-8 are set unless given here.
  std::vector<std::string> environment;
  // Names taken out of the environment.
  std::vector<std::string> removed_environment;
  // Standard streams taken from or sent to files instead of the terminal
  // (empty: the terminal), as a shell's < and > would.
  std::string input_file;
  std::string output_file;
  std::string error_file;
};

// One running program and the terminal it sees. Not copyable; the
// destructor kills a program still running and frees the terminal.
struct PtyProgram {
  pid_t pid = -1;
  int master = -1;
  VTerm* vt = nullptr;
  VTermScreen* screen = nullptr;
  termios modes_at_start{};  // the pty's modes before the program ran
  bool exited = false;
  int exit_status = 0;  // the wait status, once exited
  std::string title;
  bool cursor_visible = true;
  int mouse_mode = 0;                   // libvterm's VTERM_PROP_MOUSE: 0 off, 1 clicks, 2 drag, 3 all moves
  std::vector<std::string> scrollback;  // rows pushed off the top, oldest first
  std::string output;                   // every byte the program wrote
  std::string terminal_path;            // the pty's terminal side, as the program sees it

  PtyProgram() = default;
  PtyProgram(const PtyProgram&) = delete;
  PtyProgram& operator=(const PtyProgram&) = delete;
  ~PtyProgram();
};

struct CellView {
  std::string text;  // UTF-8; a blank for an empty cell, nothing for the
                     // right half of a double-width character
  int fg = -1;       // palette index, -1 for the terminal's default colour
  int bg = -1;
  bool bold = false;
  bool reverse = false;
};

struct Position {
  int row = 0;
  int col = 0;
};

bool start_program(PtyProgram& program, const PtyOptions& options);

// Reads what the program wrote during at most timeout, feeding the screen.
void pump(PtyProgram& program, std::chrono::milliseconds timeout = std::chrono::milliseconds(10));
// Pumps until condition holds (true) or the time runs out (false).
bool wait_until(PtyProgram& program, const std::function<bool()>& condition,
                std::chrono::milliseconds timeout = std::chrono::milliseconds(20000));
bool wait_for_text(PtyProgram& program, std::string_view text,
                   std::chrono::milliseconds timeout = std::chrono::milliseconds(20000));
// True while bytes sent to the program are still on their way: no process
// has read them from the terminal yet.
bool input_pending(const PtyProgram& program);
// True when the program waits for the operator: every byte sent to it has
// been read, and it is blocked reading its terminal with no time limit. A
// program that waits like this has done all that the input so far asked of
// it, so a test can check that a key did not end a wait without waiting for
// a while to see whether anything happens.
bool waits_for_input(const PtyProgram& program);
// Pumps until waits_for_input holds, then takes in all the program wrote.
// False when the program ended or the time ran out.
bool wait_for_input_wait(PtyProgram& program, std::chrono::milliseconds timeout = std::chrono::milliseconds(20000));
// The exit code, or -1 (not ended in time), or 128 + signal for a signal.
int wait_for_exit(PtyProgram& program, std::chrono::milliseconds timeout = std::chrono::milliseconds(20000));

void send(PtyProgram& program, std::string_view bytes);
// Feeds bytes to the emulator as if another program had written them to the
// terminal (a shell while the program is stopped, say).
void draw_on_screen(PtyProgram& program, std::string_view bytes);
void send_signal(PtyProgram& program, int signal);
// Changes the pty's size; the program gets SIGWINCH.
void resize(PtyProgram& program, int rows, int cols);

// Trailing blanks removed; a double-width character appears once.
std::string row_text(const PtyProgram& program, int row);
std::string screen_text(const PtyProgram& program);  // all rows, for failure messages
CellView cell(const PtyProgram& program, int row, int col);
Position cursor(const PtyProgram& program);
// The first place where text starts on the screen, or row 0 when absent;
// columns count cells (two for a double-width character).
Position find_text(const PtyProgram& program, std::string_view text);
int screen_rows(const PtyProgram& program);
// The pty's terminal modes as they are now.
termios current_modes(const PtyProgram& program);

// ANSI palette index to console colour index and back (swaps red and blue).
int console_colour(int palette_index);

// The bytes an xterm sends with SGR mouse reports on (button 1 left,
// 2 right, 3 middle).
std::string mouse_press(int button, int row, int col);
std::string mouse_release(int button, int row, int col);
std::string mouse_move(int row, int col);

}  // namespace pty_test
