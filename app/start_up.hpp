// The console set-up of every run and the start-up screen of an interactive run.
#pragma once

#include "console/console.hpp"

namespace app {

// Mouse input, 80 by 30, light magenta on light grey, cleared, icon and
// title, then one empty line.
void set_up_console(console::Console& console);

// The colours a run's messages start in: light magenta on light grey.
void set_run_colours(console::Console& console);

// Nine lines in light blue from row 2; the cursor ends at row 11.
void show_start_up_screen(console::Console& console);

}  // namespace app
