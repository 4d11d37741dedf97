// What a build warns of before it writes anything: Start-menu folders that are empty or differ,
// registry keys the uninstaller would refuse to remove, and listed files that are links leading
// outside their source folder. The author is asked whether to go on when any warning was given.
#pragma once

namespace velkan {

class CBuildReport;
class CDataArray;

// Adds a report line for each warning, in the order above; true when any was added.
bool ReportPreBuildWarnings(const CDataArray& project, CBuildReport& report);

}  // namespace velkan
