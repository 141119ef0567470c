#include "textio/channels.hpp"

#include <algorithm>
#include <cstring>
#include <utility>

#include "textio/unread_memory.hpp"

namespace textio {

namespace {

// The first line end byte or 0x1A in [begin, end), or end: two vectorised
// scans rather than one test per byte.
const char* find_line_stop(const char* begin, const char* end, char line_end_byte) {
  if (begin == end) return end;  // nothing read ahead yet: no bytes to look at
  const std::size_t size = static_cast<std::size_t>(end - begin);
  const void* line_end = std::memchr(begin, line_end_byte, size);
  const char* stop = line_end == nullptr ? end : static_cast<const char*>(line_end);
  const void* mark = std::memchr(begin, end_of_file_mark, static_cast<std::size_t>(stop - begin));
  return mark == nullptr ? stop : static_cast<const char*>(mark);
}

const Channel* find(const ChannelTable& table, std::int16_t number) {
  for (const Channel& channel : table.open) {
    if (channel.number == number) return &channel;
  }
  return nullptr;
}

Channel* find(ChannelTable& table, std::int16_t number) {
  return const_cast<Channel*>(find(std::as_const(table), number));
}

void record_failure(ChannelTable& table, std::string_view name, std::string what, const os::Failure& failure) {
  table.error = failure.error_number;
  table.failures.push_back({std::string(name), std::move(what), failure.reason});
}

void record_channel_failure(ChannelTable& table, Channel& channel, std::string what, const os::Failure& failure) {
  table.error = failure.error_number;
  if (channel.failed) return;  // one report per file is enough
  channel.failed = true;
  record_failure(table, channel.name, std::move(what), failure);
}

// Writes the first `count` bytes of the pending text.
void write_pending(ChannelTable& table, Channel& channel, std::size_t count) {
  if (count == 0) return;
  const os::Failure failure = os::write_all(channel.file, channel.buffer.data(), count);
  if (failure.error_number != 0) {
    record_channel_failure(table, channel, "could not be written completely", failure);
  } else {
    channel.position += count;
  }
  channel.buffer.erase(0, count);
}

void write_pending(ChannelTable& table, Channel& channel) { write_pending(table, channel, channel.buffer.size()); }

// Writes a due block out: the pending text up to the last multiple of the
// block size in the file, the rest stays pending. Writes that start and end
// at such places cost the system less: it can keep a file's pages in larger
// pieces (bench/README.md has the figures).
void write_due_block(ChannelTable& table, Channel& channel) {
  const std::uint64_t end = channel.position + channel.buffer.size();
  const std::uint64_t boundary = end - end % block_size;
  if (boundary > channel.position) write_pending(table, channel, static_cast<std::size_t>(boundary - channel.position));
}

// Makes more of the file readable behind the read-ahead, which keeps its
// unread bytes: they move to the front of the read-ahead, which grows
// when they fill it, so that a line of any length lies in one piece. False
// at the end of the file (or when reading fails, which is put on record).
bool read_more(ChannelTable& table, Channel& channel) {
  if (channel.at_os_end) return false;
  const std::size_t unread = channel.filled - channel.next;
  if (channel.next > 0) {
    std::memmove(channel.ahead.get(), channel.ahead.get() + channel.next, unread);
    channel.position += channel.next;
    channel.next = 0;
    channel.filled = unread;
  }
  if (unread == channel.ahead_size) {
    const std::size_t size = std::max(block_size, 2 * channel.ahead_size);
    char* const grown = static_cast<char*>(std::realloc(channel.ahead.get(), size));
    if (grown == nullptr) {
      record_channel_failure(table, channel, "could not be read", {7, "there is not enough memory for its line"});
      channel.at_os_end = true;
      return false;
    }
    static_cast<void>(channel.ahead.release());  // moved by realloc
    channel.ahead.reset(grown);
    channel.ahead_size = size;
  }
  // Only the bytes a read has filled may be looked at.
  char* const room = channel.ahead.get() + unread;
  mark_readable(room, channel.ahead_size - unread);
  std::size_t got = 0;
  const os::Failure failure = os::read_some(channel.file, room, channel.ahead_size - unread, got);
  channel.filled += got;
  mark_unreadable(room + got, channel.ahead_size - unread - got);
  if (failure.error_number != 0) {
    record_channel_failure(table, channel, "could not be read", failure);
    channel.at_os_end = true;
    return false;
  }
  if (got == 0) {
    channel.at_os_end = true;
    return false;
  }
  return true;
}

// At least one unread byte, unless the file is at its end.
bool fill(ChannelTable& table, Channel& channel) { return channel.next < channel.filled || read_more(table, channel); }

// Passes over a UTF-8 byte-order mark at the start of a disk file opened
// for input: nothing that reads the file sees it, and lines are numbered as
// if it were not there.
void skip_byte_order_mark(ChannelTable& table, Channel& channel) {
  while (channel.filled < utf8_byte_order_mark.size() && read_more(table, channel)) {
  }
  if (std::string_view(channel.ahead.get(), channel.filled).starts_with(utf8_byte_order_mark)) {
    channel.next = utf8_byte_order_mark.size();
    channel.byte_order_mark_skipped = true;
  }
}

// What decides the line end of a file: whether a CR comes before its end
// (a 0x1A or the end of the file), and whether a LF does.
struct LineEndSigns {
  bool cr = false;
  bool lf = false;
};

// Looks at [begin, end) for the signs; true once they are settled: a CR or
// a 0x1A has been met.
bool look_for_line_end_signs(const char* begin, const char* end, LineEndSigns& signs) {
  const char* const stop = find_line_stop(begin, end, '\r');
  signs.lf = signs.lf || std::memchr(begin, '\n', static_cast<std::size_t>(stop - begin)) != nullptr;
  if (stop == end) return false;
  signs.cr = *stop == '\r';
  return true;
}

// Decides the line end of a disk file opened for input from its first block
// and, when that does not settle it, from the bytes after it, looked at one
// block at a time and not kept: memory stays the same for a file of any
// size. A file whose first line end is a CR, the usual one, costs one look
// at that first line. A file that cannot be looked at to its end keeps the
// CR.
void decide_line_end(ChannelTable& table, Channel& channel) {
  if (!fill(table, channel)) return;
  LineEndSigns signs;
  bool settled =
      look_for_line_end_signs(channel.ahead.get() + channel.next, channel.ahead.get() + channel.filled, signs);
  if (!settled) {
    std::unique_ptr<char[]> block(new char[block_size]);
    std::uint64_t offset = channel.filled;
    while (!settled) {
      std::size_t got = 0;
      if (os::read_at(channel.file, offset, block.get(), block_size, got).error_number != 0) return;
      if (got == 0) break;
      settled = look_for_line_end_signs(block.get(), block.get() + got, signs);
      offset += got;
    }
  }
  if (!signs.cr && signs.lf) channel.line_end_byte = '\n';
}

// A LF right after the CR that ended the last line is part of that line end.
void pass_line_feed_after_cr(ChannelTable& table, Channel& channel) {
  if (!channel.after_cr) return;
  channel.after_cr = false;
  if (fill(table, channel) && channel.ahead.get()[channel.next] == '\n') ++channel.next;
}

Channel* channel_for(ChannelTable& table, std::int16_t number, ChannelMode mode) {
  Channel* channel = number < 0 ? nullptr : find(table, number);
  if (channel == nullptr) {
    table.error = 52;
    return nullptr;
  }
  if (channel->mode != mode) {
    table.error = 54;
    return nullptr;
  }
  return channel;
}

// Opens the file at `path` (by default the name itself); failures are on
// record under `name`.
void open_channel(ChannelTable& table, std::string_view name, std::int16_t number, ChannelMode mode,
                  os::NameMatch match, std::string_view path) {
  if (name.empty() || name.find_first_of("*?") != std::string_view::npos) {
    record_failure(table, name, "could not be opened",
                   {64, name.empty() ? "the name is empty" : "a name with * or ? names no single file"});
    return;
  }
  if (number < 0) {
    table.error = 52;
    return;
  }
  if (find(table, number) != nullptr) {
    table.error = 55;
    return;
  }
  const std::string file_name(name);
  const std::string to_open(path);
  os::OpenResult opened =
      mode == ChannelMode::output ? os::open_for_output(to_open, match) : os::open_for_input(to_open, match);
  if (!opened.file.valid()) {
    record_failure(table, name, "could not be opened", opened.failure);
    return;
  }
  Channel channel;
  channel.number = number;
  channel.mode = mode;
  channel.file = std::move(opened.file);
  channel.is_disk_file = opened.is_disk_file;
  channel.name = file_name;
  channel.path = std::move(opened.path);
  table.open.push_back(std::move(channel));
  Channel& opened_channel = table.open.back();
  if (mode == ChannelMode::input && opened_channel.is_disk_file) {
    skip_byte_order_mark(table, opened_channel);
    decide_line_end(table, opened_channel);
  }
}

}  // namespace

void open_for_output(ChannelTable& table, std::string_view name, std::int16_t number, os::NameMatch match) {
  open_channel(table, name, number, ChannelMode::output, match, name);
}

void open_for_input(ChannelTable& table, std::string_view name, std::int16_t number, os::NameMatch match) {
  open_channel(table, name, number, ChannelMode::input, match, name);
}

void open_found_for_input(ChannelTable& table, std::string_view name, std::int16_t number, std::string_view path) {
  open_channel(table, name, number, ChannelMode::input, os::NameMatch::exact, path);
}

std::string opened_path(const ChannelTable& table, std::int16_t number) {
  const Channel* channel = find(table, number);
  return channel != nullptr ? channel->path : std::string();
}

void write_text(ChannelTable& table, std::int16_t number, std::string_view text) {
  Channel* channel = channel_for(table, number, ChannelMode::output);
  if (channel == nullptr || text.empty()) return;
  channel->buffer.append(text);
  if (block_due(channel->buffer)) write_due_block(table, *channel);
}

void end_line(ChannelTable& table, std::int16_t number) { write_text(table, number, line_end); }

std::string* pending_text(ChannelTable& table, std::int16_t number) {
  Channel* channel = channel_for(table, number, ChannelMode::output);
  return channel == nullptr ? nullptr : &channel->buffer;
}

void end_append(ChannelTable& table, std::int16_t number) {
  Channel* channel = channel_for(table, number, ChannelMode::output);
  if (channel != nullptr && block_due(channel->buffer)) write_due_block(table, *channel);
}

std::string_view read_line(ChannelTable& table, std::int16_t number) {
  Channel* channel = channel_for(table, number, ChannelMode::input);
  if (channel == nullptr) return {};
  pass_line_feed_after_cr(table, *channel);
  std::size_t length = 0;  // of the line so far, all of it searched for its end
  bool stopped = false;    // at a CR or a 0x1A, not at the end of the file
  while (!stopped) {
    const char* const begin = channel->ahead.get() + channel->next;
    const char* const end = channel->ahead.get() + channel->filled;
    const char* const stop = find_line_stop(begin + length, end, channel->line_end_byte);
    length = static_cast<std::size_t>(stop - begin);
    stopped = stop != end;
    if (!stopped && !read_more(table, *channel)) break;
  }
  const std::string_view line(channel->ahead.get() + channel->next, length);
  channel->next += length;
  if (stopped && channel->ahead.get()[channel->next] == channel->line_end_byte) {
    ++channel->next;
    channel->after_cr = channel->line_end_byte == '\r';
  } else if (length == 0) {
    table.error = 62;  // a 0x1A stays unread: the file ends there
  }
  return line;
}

char line_end_byte(const ChannelTable& table, std::int16_t number) {
  const Channel* channel = find(table, number);
  return channel != nullptr ? channel->line_end_byte : '\r';
}

bool byte_order_mark_skipped(const ChannelTable& table, std::int16_t number) {
  const Channel* channel = find(table, number);
  return channel != nullptr && channel->byte_order_mark_skipped;
}

std::string_view read_ahead(ChannelTable& table, std::int16_t number) {
  Channel* channel = channel_for(table, number, ChannelMode::input);
  if (channel == nullptr) return {};
  pass_line_feed_after_cr(table, *channel);
  fill(table, *channel);
  return {channel->ahead.get() + channel->next, channel->filled - channel->next};
}

bool read_further(ChannelTable& table, std::int16_t number) {
  Channel* channel = channel_for(table, number, ChannelMode::input);
  return channel != nullptr && read_more(table, *channel);
}

void skip_read(ChannelTable& table, std::int16_t number, std::size_t count) {
  Channel* channel = channel_for(table, number, ChannelMode::input);
  if (channel != nullptr) channel->next += std::min(count, channel->filled - channel->next);
}

bool at_end(ChannelTable& table, std::int16_t number) {
  Channel* channel = number < 0 ? nullptr : find(table, number);
  if (channel == nullptr) {
    table.error = 53;
    return true;
  }
  if (channel->mode == ChannelMode::output) return false;
  pass_line_feed_after_cr(table, *channel);
  return !fill(table, *channel) || channel->ahead.get()[channel->next] == end_of_file_mark;
}

void close(ChannelTable& table, std::int16_t number) {
  auto it = std::find_if(table.open.begin(), table.open.end(),
                         [number](const Channel& channel) { return channel.number == number; });
  if (it == table.open.end()) return;
  Channel& channel = *it;
  if (channel.mode == ChannelMode::output) {
    write_pending(table, channel);
    if (channel.is_disk_file) {
      const os::Failure cut = os::cut_at(channel.file, channel.position);
      if (cut.error_number != 0) record_channel_failure(table, channel, "could not be written completely", cut);
    }
  }
  const os::Failure closed = os::close_file(channel.file);
  if (closed.error_number != 0) {
    record_channel_failure(
        table, channel, channel.mode == ChannelMode::output ? "could not be written completely" : "could not be read",
        closed);
  }
  table.open.erase(it);
}

void flush_all(ChannelTable& table) {
  for (Channel& channel : table.open) {
    if (channel.mode == ChannelMode::output) write_pending(table, channel);
  }
}

}  // namespace textio
