// The person at a build, scripted: every question is answered Yes unless answers says otherwise,
// and what the build shows is recorded. Pump stops the build after stopAfterPumps when set.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/builder/IBuildHost.h"

namespace velkan::test {

class ScriptedHost : public IBuildHost {
public:
    void BeginProgress() override { ++begun; }
    void EndProgress() override { ++ended; }
    void ShowProgress(uint32_t position, const std::string& text) override
    {
        positions.push_back(position);
        texts.push_back(text);
        if (onProgress) onProgress(positions.size());
    }
    PumpResult Pump() override
    {
        ++pumps;
        if (stopAfterPumps >= 0 && pumps > stopAfterPumps) return stopResult;
        return PumpResult::Continue;
    }
    bool AskYesNo(const std::string& question) override
    {
        questions.push_back(question);
        auto found = answers.find(question);
        return found == answers.end() ? true : found->second;
    }
    void ShowInformation(const std::string& text) override { information.push_back(text); }
    void ShowError(const std::string& text) override { errors.push_back(text); }

    std::map<std::string, bool> answers;
    int stopAfterPumps = -1;
    PumpResult stopResult = PumpResult::StopRequested;
    std::function<void(size_t)> onProgress;

    int begun = 0, ended = 0, pumps = 0;
    std::vector<uint32_t> positions;
    std::vector<std::string> texts;
    std::vector<std::string> questions, information, errors;
};

}  // namespace velkan::test
