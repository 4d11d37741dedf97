// What a build warns of before it writes anything: Start-menu folders that are empty or differ,
// registry keys that are empty or the uninstaller would refuse to remove, listed files that are
// links leading outside their source folder, and strings that do not fit in the file they are to
// be written into, and bitmaps the wizard cannot show (a wizard bitmap larger than its field is
// reported too, without asking). The author is asked whether to go on when any warning was given.
#pragma once

namespace velkan {

class CBuildReport;
class CDataArray;

// Adds a report line for each warning, in the order above; true when any was added.
bool ReportPreBuildWarnings(const CDataArray& project, CBuildReport& report);

}  // namespace velkan
