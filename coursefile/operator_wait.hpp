// A warning's wait for the operator. Every output file holds all that was
// written to it before the wait starts, as if nothing were buffered.
#pragma once

#include "console/console.hpp"
#include "textio/channels.hpp"

namespace coursefile {

void wait_for_operator(console::Console& console, textio::ChannelTable& channels);

}  // namespace coursefile
