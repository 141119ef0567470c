// Text channels: files known by a channel number, written as text pieces
// closed by CR LF and read line by line. Failures never stop the run: each
// sets the error number, and a failure of the file itself (cannot open,
// cannot write, cannot read) is remembered so the run can report it at its end.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "textio/file_system.hpp"

namespace textio {

enum class ChannelMode { input, output };

struct FreeBytes {
  void operator()(char* bytes) const { std::free(bytes); }
};

struct Channel {
  std::int16_t number = 0;
  ChannelMode mode = ChannelMode::input;
  os::FileHandle file;
  bool is_disk_file = false;
  bool failed = false;         // a failure of this file is already on record
  std::uint64_t position = 0;  // bytes written (output), or the file offset of ahead[0] (input)
  std::string buffer;          // output waiting to be written
  // Input read ahead, in one piece: grown with realloc, which moves the
  // pages of a large block rather than copy them, and clears no byte that a
  // read will fill.
  std::unique_ptr<char, FreeBytes> ahead;
  std::size_t ahead_size = 0;
  std::size_t filled = 0;  // input: bytes of ahead read
  std::size_t next = 0;    // input: index of the next unread byte in ahead
  bool at_os_end = false;  // input: the file has no more bytes to give
  // input: the last line read ended at a CR, so a LF that comes next still
  // belongs to its line end (it may not have been read yet).
  bool after_cr = false;
  // input: the byte that ends a line, decided when the file is opened: a CR
  // (which takes one LF after it), or a LF in a file that has no CR before
  // its end and at least one LF, read as if every LF were CR LF.
  char line_end_byte = '\r';
  // input: the file starts with a UTF-8 byte-order mark, which is not read.
  bool byte_order_mark_skipped = false;
  std::string name;
  std::string path;  // where name was found: it may differ from name in case
};

struct FileFailure {
  std::string file_name;
  std::string what;    // "could not be opened", ...
  std::string reason;  // the system's own words
};

struct ChannelTable {
  std::vector<Channel> open;
  int error = 0;  // last error number; nothing in the run reads it back
  std::vector<FileFailure> failures;
};

inline constexpr std::string_view line_end = "\r\n";

// Output is gathered up to this size before one write; input is read ahead
// in blocks of it. Neither changes what the files hold at any wait. Larger
// writes cost the system less per byte, and blocks of this size still stay
// in the processor's cache (bench/README.md has the figures).
inline constexpr std::size_t block_size = 256 * 1024;
inline constexpr char end_of_file_mark = 0x1A;
// What a spreadsheet's "CSV UTF-8" puts before the text: a disk file that
// starts with it is read as if it were not there.
inline constexpr std::string_view utf8_byte_order_mark = "\xEF\xBB\xBF";

void open_for_output(ChannelTable& table, std::string_view name, std::int16_t number,
                     os::NameMatch match = os::NameMatch::exact_or_any_case);
void open_for_input(ChannelTable& table, std::string_view name, std::int16_t number,
                    os::NameMatch match = os::NameMatch::exact_or_any_case);
// Opens for input the file found on disk at `path`, as spelled there;
// a failure is on record under `name`, the name the run knows it by.
void open_found_for_input(ChannelTable& table, std::string_view name, std::int16_t number, std::string_view path);

// The path the file of an open channel was opened under, which the name
// asked for may differ from in case; empty when the channel is not open.
std::string opened_path(const ChannelTable& table, std::int16_t number);
void write_text(ChannelTable& table, std::int16_t number, std::string_view text);
void end_line(ChannelTable& table, std::int16_t number);

// The text waiting to be written to output channel `number`, for a writer
// that appends to it in place; nullptr when no such channel is open.
// Appending is writing; end_append afterwards writes a due block out to the
// file (up to the last multiple of the block size in the file).
std::string* pending_text(ChannelTable& table, std::int16_t number);
void end_append(ChannelTable& table, std::int16_t number);
// Whether end_append would write pending text out: a writer that appends
// many small pieces calls end_append only then.
inline bool block_due(const std::string& pending) { return pending.size() >= block_size; }

// Reads the next line: its bytes without the line end, in place in the
// channel's read-ahead, valid until the next call on this channel. A CR ends
// a line and swallows one LF after it; a lone LF is text; 0x1A ends the file.
// A disk file with no CR before its end (0x1A or the end of the file) and at
// least one LF is read as if every LF were CR LF: a LF ends a line. A UTF-8
// byte-order mark at the start of a disk file is never read.
std::string_view read_line(ChannelTable& table, std::int16_t number);

// The byte that ends the lines of input channel `number`: '\n' for a file
// read as if every LF were CR LF, else '\r'.
char line_end_byte(const ChannelTable& table, std::int16_t number);

// Whether input channel `number` passed over a UTF-8 byte-order mark at the
// start of its file.
bool byte_order_mark_skipped(const ChannelTable& table, std::int16_t number);

// The bytes of input channel `number` read ahead from its read position on,
// in place, for a reader that takes whole lines itself and then moves on
// with skip_read: at least one byte unless the file is at its end, and
// never a line feed that belongs to the line end before them.
std::string_view read_ahead(ChannelTable& table, std::int16_t number);
// Reads more of the file behind the read-ahead, for a reader that needs
// the rest of a line whose start read_ahead gave it. The unread bytes stay
// unread but may move: read_ahead gives them again. False, with nothing
// more read, at the end of the file.
bool read_further(ChannelTable& table, std::int16_t number);
// Moves the read position on by `count` bytes of the read-ahead.
void skip_read(ChannelTable& table, std::int16_t number, std::size_t count);

// True at the end of an input file or at a 0x1A byte; true for a channel
// that is not open, so a loop over a file that did not open ends at once.
bool at_end(ChannelTable& table, std::int16_t number);

void close(ChannelTable& table, std::int16_t number);

// Hands every pending output byte to the system: after this each file holds
// exactly what has been written to its channel. Done before every wait for
// the operator, and by close.
void flush_all(ChannelTable& table);

}  // namespace textio
