// The local file system for test builds, with every disk prompt answered Cancel.
#pragma once

#include <string>

#include "core/builder/CLocalDiskHost.h"

namespace velkan::test {

class LocalDisks : public CLocalDiskHost {
public:
    bool AskInsertDisk(int) override { return false; }
    void NotifyDiskHoldsFiles() override {}
    bool AskRetryDisk(const std::string&, int) override { return false; }
};

}  // namespace velkan::test
