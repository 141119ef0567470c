#include "coursefile/operator_wait.hpp"

namespace coursefile {

void wait_for_operator(console::Console& console, textio::ChannelTable& channels) {
  if (!console.message_waits) return;
  textio::flush_all(channels);
  wait_for_operator(console);
}

void wait_for_operator(console::Console& console) {
  if (!console.message_waits) return;
  console::wait_for_key(console);  // whatever was pressed is of no interest
}

}  // namespace coursefile
