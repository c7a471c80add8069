#include "SimFixture.h"

#include <atomic>

namespace {

const wchar_t* const simulatorVariables[] = {L"KOVSIM_SCENARIO", L"KOVSIM_STATE", L"KOVSIM_TRACE"};

std::wstring newFolder() {
    static std::atomic<unsigned> counter{0};
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring path = std::wstring(temp) + L"kelvo-sim-" +
                        std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(counter++);
    CreateDirectoryW(path.c_str(), nullptr);
    return path;
}

void removeFolder(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileW((folder + L"\\" + found.cFileName).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
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
    removeFolder(folder);
}

void SimTest::scenario(const std::string& text) {
    const std::wstring path = writeFile(L"scenario.txt", Bytes(text.begin(), text.end()));
    SetEnvironmentVariableW(L"KOVSIM_SCENARIO", path.c_str());
}

std::wstring SimTest::useStateFile() {
    const std::wstring path = file(L"state.txt");
    SetEnvironmentVariableW(L"KOVSIM_STATE", path.c_str());
    return path;
}

std::wstring SimTest::writeFile(const std::wstring& name, const Bytes& bytes) const {
    const std::wstring path = file(name);
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    EXPECT_TRUE(
        WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size());
    CloseHandle(handle);
    return path;
}

std::vector<int> followStages(UsbDevice& device) {
    std::vector<int> seen;
    const DWORD start = GetTickCount();
    int status = device.readStatus0();
    for (int stage = 1; stage <= 3; ++stage) {
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
