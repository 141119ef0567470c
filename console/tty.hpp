// The operator's terminal on POSIX: the descriptor the screen goes to, and
// the modes of standard input, which the run changes and gives back however
// it ends: at the normal end, at exit(), and at a fatal signal.
#pragma once

#include <termios.h>

#include <string_view>

namespace console::tty {

// Where the console's screen goes: standard output when it is a terminal;
// otherwise standard error, when it and standard input are terminals (the
// output was redirected in a terminal); otherwise standard output.
int screen_output();
bool input_is_terminal();

// Takes note of standard input's modes and makes sure they come back. False
// when standard input is no terminal. Safe to call more than once.
bool take_modes();
// The modes as found by take_modes().
const termios& found_modes();
// Changes standard input's modes at once; keys typed before stay queued.
bool set_modes(const termios& modes);

// Bytes that undo what the run drew, written to the screen output before
// the modes come back (at give_back(), at exit() and at a fatal signal).
void set_farewell(std::string_view bytes);

// Lets handler take the signal until give_back(), which puts back the
// handling found.
void catch_signal(int signal, void (*handler)(int));

// The farewell written, the modes and the signal handling as found. Safe to
// call more than once, and when nothing was taken.
void give_back();

}  // namespace console::tty
