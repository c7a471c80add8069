#include "framework/ErrorBox.h"

#include "framework/Application.h"
#include "platform/MessageBox.h"

namespace {

const wchar_t* caption() {
    const Application* application = Application::current();
    return application != nullptr ? application->name() : L"";
}

} // namespace

void showFileError(HWND owner, const FileException& error) {
    platform::messageBox(owner, error.message(), caption(),
                         MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND);
}

void showOutOfMemory(HWND owner) {
    platform::messageBox(owner, L"メモリが不足しています。", caption(), MB_OK | MB_ICONEXCLAMATION);
}
