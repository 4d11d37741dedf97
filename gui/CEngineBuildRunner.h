// The editor's build: the engine's build driver, after the preparation velkanc build makes too (which refuses a project whose install runtime
// this program was built without).
#pragma once

#include "gui/IBuildRunner.h"

namespace velkan {

class CEngineBuildRunner : public IBuildRunner {
public:
    BuildResult Build(const CDataArray& project, const BuildInputs& inputs,
                      const BuildSettings& settings, CBuildReport& report, IBuildHost& host,
                      IDiskHost& disks) override;
};

}  // namespace velkan
