#include "output/code_counts.hpp"

#include <algorithm>
#include <cstring>

#include "textio/byte_vectors.hpp"

namespace output {

namespace {

using Row = PendingCodeCounts;

static_assert(coursefile::keyed_code == 0 && coursefile::option_a_code == 1 && coursefile::option_e_code == 5 &&
              coursefile::other_code == 6);

// The codes of one kind in sixteen positions: a lane of 0xFF for each.
template <char code>
[[gnu::always_inline]] inline textio::Bytes16 of_kind(textio::Bytes16 codes) {
  return textio::equal16(codes, textio::every16(static_cast<unsigned char>(code)));
}

// Counts the rows in use, sixteen positions at a time down all of them,
// and makes them "-" again. "-" is counted too, so that the codes of no
// kind are the rest.
void count_rows(PendingCodeCounts& pending) {
  for (int first = 0; first < pending.widest; first += 16) {
    textio::Bytes16 keyed{}, a{}, b{}, c{}, d{}, e{}, none{};  // a lane of 0xFF subtracted adds 1
    const char* at = pending.codes.data() + first;
    for (int row = 0; row < pending.records; ++row, at += Row::row_size) {
      const textio::Bytes16 codes = textio::load16(at);
      keyed -= of_kind<'.'>(codes);
      a -= of_kind<'1'>(codes);
      b -= of_kind<'2'>(codes);
      c -= of_kind<'3'>(codes);
      d -= of_kind<'4'>(codes);
      e -= of_kind<'5'>(codes);
      none -= of_kind<'-'>(codes);
    }
    const textio::Bytes16 kinds[] = {keyed, a, b, c, d, e};
    for (int lane = 0; lane < 16 && first + lane < coursefile::checked_questions; ++lane) {
      auto& question = pending.counted[static_cast<std::size_t>(first + lane)];
      int others = pending.records - none[lane];
      for (int kind = 0; kind < coursefile::other_code; ++kind) {
        question[static_cast<std::size_t>(kind)] += kinds[kind][lane];
        others -= kinds[kind][lane];
      }
      question[coursefile::other_code] += static_cast<std::uint64_t>(others);
    }
  }
  std::memset(pending.codes.data(), '-', static_cast<std::size_t>(pending.records) * Row::row_size);
  pending.records = 0;
  pending.widest = 0;
}

}  // namespace

int put_codes(PendingCodeCounts& pending, const char* codes, int positions, const std::vector<LongerCode>& longer) {
  char* const row = code_row(pending);
  positions = std::min(positions, coursefile::checked_questions);
  if (longer.empty()) {
    // One byte per position, sixteen at a time, the last sixteen again.
    int at = 0;
    for (; at + 16 <= positions; at += 16) textio::store16(row + at, textio::load16(codes + at));
    if (at < positions && positions >= 16) {
      textio::store16(row + positions - 16, textio::load16(codes + positions - 16));
    } else if (at < positions) {
      std::memcpy(row + at, codes + at, static_cast<std::size_t>(positions - at));
    }
    return positions;
  }
  auto code = longer.begin();
  for (int q = 1; q <= positions; ++q) {
    if (code != longer.end() && code->q == q) {
      row[q - 1] = another_code;
      codes += code->size;
      ++code;
    } else {
      row[q - 1] = *codes++;
    }
  }
  return positions;
}

void end_counted_record(PendingCodeCounts& pending, int positions) {
  pending.widest = std::max(pending.widest, std::min(positions, coursefile::checked_questions));
  if (++pending.records == Row::rows) count_rows(pending);
}

void add_code_counts(PendingCodeCounts& pending, coursefile::RunTally& tally) {
  count_rows(pending);
  for (std::size_t q = 0; q < coursefile::checked_questions; ++q) {
    for (std::size_t kind = 0; kind < coursefile::code_kinds; ++kind) {
      tally.code_counts.codes[q][kind] += pending.counted[q][kind];
      pending.counted[q][kind] = 0;
    }
  }
}

}  // namespace output
