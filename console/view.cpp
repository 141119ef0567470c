#include "console/view.hpp"

namespace console {

int follow_cursor(int first, int cursor, int visible, int total) {
  if (cursor < first) first = cursor;
  if (cursor > first + visible - 1) first = cursor - visible + 1;
  if (first > total - visible + 1) first = total - visible + 1;
  return first < 1 ? 1 : first;
}

}  // namespace console
