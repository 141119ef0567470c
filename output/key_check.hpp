// The key check: the questions whose answer key looks wrong, told from the
// codes the class's answers were given. For each question from 1 to the
// declared question count (at most 100), with the key and the count as the
// last answer-key and header records leave them:
// - no usable key: the key entry is not one of A to E, and a student record
//   reached the question;
// - key contradicted: at least 10 students answered it, and the option
//   chosen most after the key (the first in A to E order on a tie) was
//   chosen by more students than the key, and by at least half of those
//   who answered.
// A file without an answer-key record, a header record or student records
// has no findings.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "coursefile/course_values.hpp"

namespace output {

constexpr std::size_t shown_key_findings = 10;

struct KeyFindings {
  std::vector<std::string> lines;  // the first shown_key_findings, in question order
  std::uint64_t left_out = 0;      // further questions found
};

KeyFindings check_answer_key(const coursefile::CourseValues& values);

}  // namespace output
