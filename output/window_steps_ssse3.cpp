// The window step compiled for SSSE3 (output/CMakeLists.txt), taken only
// where the processor has it. Everything it calls is inlined into it, so no
// code for SSSE3 is left for the rest of the program to call.
#include "output/window_steps.hpp"

namespace output {

void code_windows_ssse3(codes::Answers& answers) { codes::code_windows<textio::Instructions::ssse3>(answers); }

}  // namespace output
