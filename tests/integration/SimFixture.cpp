#include "SimFixture.h"

#include <atomic>
#include <filesystem>
#include <fstream>

namespace {

const wchar_t* const simulatorVariables[] = {L"KOVSIM_SCENARIO", L"KOVSIM_STATE", L"KOVSIM_TRACE"};

std::wstring newFolder() {
    static std::atomic<unsigned> counter{0};
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                       (L"kelvo-sim-" + std::to_wstring(GetCurrentProcessId()) +
                                        L"-" + std::to_wstring(counter++));
    std::filesystem::create_directory(path);
    return path.wstring();
}

} // namespace

SimTest::SimTest() : folder(newFolder()) {
    for (const wchar_t* name : simulatorVariables)
        SetEnvironmentVariableW(name, nullptr);
    SetEnvironmentVariableW(L"KOVSIM_TRACE", file(L"trace.txt").c_str());
}

SimTest::~SimTest() {
    for (const wchar_t* name : simulatorVariables)
        SetEnvironmentVariableW(name, nullptr);
    std::error_code error;
    std::filesystem::remove_all(folder, error);
}

void SimTest::scenario(const std::string& text) {
    const std::wstring path = writeFile(L"scenario.txt", Bytes(text.begin(), text.end()));
    SetEnvironmentVariableW(L"KOVSIM_SCENARIO", path.c_str());
}

std::wstring SimTest::writeFile(const std::wstring& name, const Bytes& bytes) const {
    const std::wstring path = file(name);
    std::ofstream out(std::filesystem::path(path), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    EXPECT_TRUE(out.flush());
    return path;
}

std::vector<int> followStages(UsbDevice& device, int last) {
    std::vector<int> seen;
    const DWORD start = GetTickCount();
    int status = device.readStatus0();
    for (int stage = 1; stage <= last; ++stage) {
        if (status != stage)
            continue;
        seen.push_back(stage);
        while (status == stage && GetTickCount() - start < 10000) {
            Sleep(1);
            status = device.readStatus0();
        }
    }
    seen.push_back(status);
    return seen;
}
