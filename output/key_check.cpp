#include "output/key_check.hpp"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

namespace output {

namespace {

// Fewer students than this answering a question tell nothing about it.
constexpr std::uint64_t fewest_answering = 10;

constexpr std::string_view option_letters = "ABCDE";

// The option a key entry names, 0 for A; nullopt for any other entry.
std::optional<int> option_of(std::string_view entry) {
  if (entry.size() != 1 || option_letters.find(entry[0]) == std::string_view::npos) return std::nullopt;
  return static_cast<int>(option_letters.find(entry[0]));
}

std::string question_line(int q, std::string_view finding) {
  return " question " + std::to_string(q) + ": " + std::string(finding);
}

using KindCounts = std::array<std::uint64_t, coursefile::code_kinds>;

std::optional<std::string> finding(int q, std::string_view entry, std::uint64_t reached, const KindCounts& codes) {
  if (reached == 0) return std::nullopt;
  const std::optional<int> key = option_of(entry);
  if (!key) {
    return question_line(
        q, entry.empty() ? std::string("no key") : "key \"" + coursefile::kept_text(entry) + "\" is not A to E");
  }
  std::uint64_t answered = 0;
  for (const std::uint64_t count : codes) answered += count;
  if (answered < fewest_answering) return std::nullopt;
  const auto chosen = [&codes](int option) {
    return codes[static_cast<std::size_t>(coursefile::option_a_code + option)];
  };
  int most = *key == 0 ? 1 : 0;
  for (int option = most + 1; option < 5; ++option) {
    if (option != *key && chosen(option) > chosen(most)) most = option;
  }
  const std::uint64_t keyed = codes[coursefile::keyed_code];
  if (chosen(most) <= keyed || 2 * chosen(most) < answered) return std::nullopt;
  return question_line(q, "key " + std::string(1, option_letters[static_cast<std::size_t>(*key)]) + " chosen by " +
                              std::to_string(keyed) + " of " + std::to_string(answered) + "; " +
                              option_letters[static_cast<std::size_t>(most)] + " chosen by " +
                              std::to_string(chosen(most)));
}

}  // namespace

KeyFindings check_answer_key(const coursefile::CourseValues& values) {
  const coursefile::RunTally& tally = values.tally;
  KeyFindings findings;
  if (!tally.answer_key_read || !tally.header_read || tally.student_records == 0) return findings;
  const auto& counts = tally.code_counts;
  const int questions =
      static_cast<int>(std::clamp<std::int64_t>(tally.declared_questions, 0, coursefile::checked_questions));
  // The records that reach question q: those whose codes go as far.
  std::uint64_t reached = 0;
  for (int answers = questions; answers <= coursefile::checked_questions; ++answers) {
    reached += counts.records_by_answers[static_cast<std::size_t>(answers)];
  }
  std::vector<std::string> found;
  for (int q = questions; q >= 1; --q) {
    const std::optional<std::string> line =
        finding(q, coursefile::key_entry(values, q), reached, counts.codes[static_cast<std::size_t>(q - 1)]);
    if (line) found.push_back(*line);
    reached += counts.records_by_answers[static_cast<std::size_t>(q - 1)];
  }
  std::reverse(found.begin(), found.end());  // in question order
  if (found.size() > shown_key_findings) {
    findings.left_out = found.size() - shown_key_findings;
    found.resize(shown_key_findings);
  }
  findings.lines = std::move(found);
  return findings;
}

}  // namespace output
