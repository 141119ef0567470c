// A message's wait for the operator. Every output file holds all that was
// written to it before the wait starts, as if nothing were buffered. While
// the console's message_waits is off (a run over every course file of a
// folder) the wait returns at once, and the files are written out at their
// close as usual.
#pragma once

#include "console/console.hpp"
#include "textio/channels.hpp"

namespace coursefile {

void wait_for_operator(console::Console& console, textio::ChannelTable& channels);

// The same where no file of the run is open.
void wait_for_operator(console::Console& console);

}  // namespace coursefile
