// The editor's build: the engine's build driver, after making sure that this program carries the
// install runtime the project needs (a builder made without the cross compiler has none, and a
// setup program without its stub or dialogs could not run).
#pragma once

#include "gui/IBuildRunner.h"

namespace velkan {

class CEngineBuildRunner : public IBuildRunner {
public:
    BuildResult Build(const CDataArray& project, const BuildSettings& settings,
                      CBuildReport& report, IBuildHost& host, IDiskHost& disks) override;

};

}  // namespace velkan
