// Disk changes of a spanned build in the editor: the local file system, and the three prompts as
// message boxes with an information icon.
#pragma once

#include <QString>

#include "core/builder/CLocalDiskHost.h"

class QWidget;

namespace velkan {

class CQtDiskHost : public CLocalDiskHost {
public:
    explicit CQtDiskHost(QWidget* parent) : m_parent(parent) {}

    bool AskInsertDisk(int diskNumber) override;
    void NotifyDiskHoldsFiles() override;
    bool AskRetryDisk(const std::string& error, int diskNumber) override;

    // "Please insert disk number %d." and "Error: %s\n\nPlease insert disk number %d." filled in.
    static QString InsertDiskText(int diskNumber);
    static QString DiskErrorText(const std::string& error, int diskNumber);

private:
    QWidget* m_parent;
};

}  // namespace velkan
