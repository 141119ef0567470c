// The part of the screen model that a terminal smaller than the model shows.
// It follows the cursor, so that the newest output and the prompt of a wait
// are always on view. Both terminal forms place their view with it.
#pragma once

namespace console {

// The first model row (or column) on view, from 1: the one on view so far,
// moved as little as keeps the cursor's row (column) on view and the view
// inside the total.
int follow_cursor(int first, int cursor, int visible, int total);

}  // namespace console
