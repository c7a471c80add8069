#include "sim/SimDevice.h"

#include "base/TextConversion.h"
#include "sim/StateFile.h"

std::unique_ptr<SimDevice> SimDevice::open(DWORD selector, const std::string& name,
                                           const Trace& trace, DWORD& error) {
    if (selector != SimDevice::selector) {
        error = ERROR_FILE_NOT_FOUND;
        return nullptr;
    }
    Scenario scenario;
    std::string problem;
    const std::wstring scenarioPath = environmentVariable(L"KOVSIM_SCENARIO");
    if (!scenarioPath.empty() && !loadScenario(scenarioPath, scenario, problem, error)) {
        trace.write("scenario %s: %s", toUtf8(scenarioPath).c_str(), problem.c_str());
        return nullptr;
    }
    if (scenario.openError) {
        error = *scenario.openError;
        return nullptr;
    }
    Module companion;
    if (!scenario.companion.empty()) {
        companion = loadCompanion(scenario.companion, name, trace, error);
        if (!companion)
            return nullptr;
    }
    Revision revision = scenario.revision;
    const std::wstring statePath = environmentVariable(L"KOVSIM_STATE");
    if (!statePath.empty() && !readState(statePath, revision, problem)) {
        trace.write("state %s: %s", toUtf8(statePath).c_str(), problem.c_str());
        error = ERROR_INVALID_DATA;
        return nullptr;
    }
    auto device =
        std::make_unique<SimDevice>(std::move(scenario), revision, statePath, trace, name);
    error = device->pipes.start();
    if (error != 0)
        return nullptr;
    device->companion = std::move(companion);
    return device;
}

SimDevice::Module SimDevice::loadCompanion(const std::string& fileName, const std::string& name,
                                           const Trace& trace, DWORD& error) {
    const std::wstring wideName(fileName.begin(), fileName.end());
    Module module(LoadLibraryW(wideName.c_str()));
    if (!module) {
        error = GetLastError();
        trace.write("companion(%s) %s err=%lu", name.c_str(), fileName.c_str(), error);
        return nullptr;
    }
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(module.get(), path, MAX_PATH);
    trace.write("companion(%s) %s loaded from %s", name.c_str(), fileName.c_str(),
                toUtf8(path).c_str());
    return module;
}

SimDevice::SimDevice(Scenario scenario, Revision revision, const std::wstring& statePath,
                     Trace trace, const std::string& name)
    : scenario(std::move(scenario)), trace(std::move(trace)),
      model(this->scenario, revision, statePath, this->trace, name),
      pipes(model, this->scenario, this->trace, name) {}

DWORD SimDevice::openPipe(DWORD index, HANDLE& client) {
    const DWORD error = model.pipeOpenError(index);
    return error != 0 ? error : pipes.takeClient(index, client);
}
