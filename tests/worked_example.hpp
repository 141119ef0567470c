// The worked example course file and what a run makes of it, shared by the
// whole-program tests.
#pragma once

#include <string>

namespace tests {

inline const std::string course =
    "SH3,,,,,,,,A,c,B,e,\r\n"
    "FH,,,,,,,,4,3,\r\n"
    "SD,1001,G1,,,,,,a,B,d,E,\r\n"
    "SD,1002,G1,,,,,,,C,b,ab,\r\n"
    "SD,1003,G2,,,,,,x,c,b,D,\r\n";
inline const std::string course_dat = "1001,G1,,.24.\r\n1002,G1,,-..12\r\n1003,G2,,x..4\r\n";
inline const std::string course_txt = ".24.\r\n-..12\r\nx..4\r\n";
inline const std::string course_ans = "1\r\n3\r\n2\r\n5\r\n";
// Its console line, as the plain console prints it.
inline const std::string header_line = " number of questions = 4  number of students =  3 \n";
// The report that ends a run of EXAM.GBK named EXAM, with nothing to warn of.
// The first line of its report; the course file is named as it is on disk.
inline std::string exam_report(const std::string& course_file) {
  return " " + course_file + ": 3 student records, 4 questions -> EXAM.dat, EXAM.txt, EXAM.ans\n";
}

}  // namespace tests
