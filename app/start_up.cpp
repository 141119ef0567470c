#include "app/start_up.hpp"

#include "dialogs/toolkit.hpp"

namespace app {

namespace {

constexpr int mouse_left_and_right = 3;
constexpr int mouse_press = 4;
constexpr int information_icon = 32516;

}  // namespace

void set_up_console(console::Console& console) {
  console::set_mouse_input(console, true);
  console::set_screen_size(console, 80, 30);
  console::select_mouse_events(console, mouse_left_and_right, mouse_press);
  set_run_colours(console);
  console::clear_screen(console);
  dialogs::ConsoleIcon(information_icon);
  dialogs::ConsoleTitle("Converter from GBK files");
  console::line_end(console);
}

void set_run_colours(console::Console& console) {
  console::set_colours(console, console::light_magenta, console::light_grey);
}

void show_start_up_screen(console::Console& console) {
  static constexpr const char* lines[] = {
      " This program creates .DAT, .TXT,",
      " and .ANS files from .GBK files.",
      "",
      "  If your .GBK files are not on the same path (folder)",
      "  as the program files then specify where they are:",
      "",
      "       example: c:\\mydirectory\\myfiles\\",
      "",
      " The change will be made only if the path exists.",
  };
  console::set_colours(console, console::light_blue, console::keep_colour);
  for (const char* line : lines) {
    console::print_text(console, line);
    console::line_end(console);
  }
}

}  // namespace app
