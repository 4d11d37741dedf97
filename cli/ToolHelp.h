// The help of velkanc as a whole: printed by --help, and the source of its manual page and its
// bash completion, so the three never disagree.
#pragma once

#include <cstdio>

namespace velkan::cli {

// "velkanc 0.1.0": the project's version.
extern const char* const kToolVersion;
// What velkanc is, one paragraph.
extern const char* const kToolDescription;
// The options of velkanc itself, one per line as --help lists them.
extern const char* const kToolOptions;
// The exit codes every command shares.
extern const char* const kToolExitStatus;

void PrintToolHelp(FILE* out);

}  // namespace velkan::cli
