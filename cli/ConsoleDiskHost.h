// Disk changes for velkanc build: the prompts go to stderr and the answer comes from stdin when
// stdin is a terminal; otherwise every prompt is answered Cancel, so an unattended build never
// hangs waiting for a disk.
#pragma once

#include "core/builder/CLocalDiskHost.h"

namespace velkan::cli {

class CConsoleDiskHost : public CLocalDiskHost {
public:
    CConsoleDiskHost();

    bool AskInsertDisk(int diskNumber) override;
    void NotifyDiskHoldsFiles() override;
    bool AskRetryDisk(const std::string& error, int diskNumber) override;

private:
    // Shows the text and waits for a line: empty (Enter) or "ok"/"retry" agrees, anything else,
    // the end of input or Ctrl-C cancels.
    bool Ask(const std::string& text, const char* agree);

    bool m_bInteractive;
};

}  // namespace velkan::cli
