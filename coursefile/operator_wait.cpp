#include "coursefile/operator_wait.hpp"

namespace coursefile {

void wait_for_operator(console::Console& console, textio::ChannelTable& channels) {
  textio::flush_all(channels);
  console::wait_for_key(console);  // whatever was pressed is of no interest
}

}  // namespace coursefile
