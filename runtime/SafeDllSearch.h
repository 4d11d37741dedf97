// Keeps Windows from loading any DLL out of the folder the program was started from (a setup
// program usually runs from a downloads folder that anyone could have put a DLL into).
#pragma once

namespace velkan::runtime {

// Call first thing: restricts the DLL search to the system folder where Windows allows it
// (SetDefaultDllDirectories) and drops the current directory from the search (SetDllDirectory).
void RestrictDllSearch();

}  // namespace velkan::runtime
