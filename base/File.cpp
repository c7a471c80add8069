// File and FileException over the wide Win32 file functions.
#include "base/File.h"

#include <cwchar>

FileException FileException::fromLastError(DWORD osError, const std::wstring& fileName) {
    Cause cause = generic;
    switch (osError) {
    case ERROR_FILE_NOT_FOUND:
        cause = fileNotFound;
        break;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_DIRECTORY:
        cause = badPath;
        break;
    case ERROR_TOO_MANY_OPEN_FILES:
        cause = tooManyOpenFiles;
        break;
    case ERROR_ACCESS_DENIED:
        cause = accessDenied;
        break;
    case ERROR_SHARING_VIOLATION:
        cause = sharingViolation;
        break;
    case ERROR_LOCK_VIOLATION:
        cause = lockViolation;
        break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        cause = diskFull;
        break;
    case ERROR_HANDLE_EOF:
        cause = endOfFile;
        break;
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_GEN_FAILURE:
        cause = hardIO;
        break;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        cause = outOfMemory;
        break;
    default:
        break;
    }
    return FileException(cause, osError, fileName);
}

std::wstring FileException::message() const {
    const wchar_t* format = L"";
    switch (cause) {
    case fileNotFound:
        format = L"ファイル %ls が見つかりません。";
        break;
    case badPath:
        format = L"%ls のパスは無効です。";
        break;
    case tooManyOpenFiles:
        format = L"開いているファイルが多すぎるため、%ls を開けません。";
        break;
    case accessDenied:
        format = L"%ls へのアクセスが拒否されました。";
        break;
    case sharingViolation:
        format = L"%ls は他のプログラムが使用中のため、開けません。";
        break;
    case lockViolation:
        format = L"%ls の一部がロックされているため、アクセスできません。";
        break;
    case diskFull:
        format = L"ディスクがいっぱいのため、%ls に書き込めません。";
        break;
    case endOfFile:
        format =
            L"%ls を最後まで読み込めませんでした。ファイルが途中で変更された可能性があります。";
        break;
    case hardIO:
        format = L"%ls の読み書き中にハードウェアのエラーが発生しました。";
        break;
    case outOfMemory:
        format = L"メモリが不足しているため、%ls を読み込めません。";
        break;
    case generic:
        format = L"%ls へのアクセス中に予期しないエラーが発生しました。";
        break;
    }
    std::wstring text(std::wcslen(format) + fileName.size() + 1, L'\0');
    const int written = std::swprintf(&text[0], text.size(), format, fileName.c_str());
    text.resize(written > 0 ? static_cast<size_t>(written) : 0);
    return text;
}

void File::open(const std::wstring& newPath, Share share) {
    abort();
    path = newPath;
    const DWORD shareMode =
        share == shareDenyWrite ? FILE_SHARE_READ : FILE_SHARE_READ | FILE_SHARE_WRITE;
    handle.reset(CreateFileW(path.c_str(), GENERIC_READ, shareMode, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle)
        fail();
}

DWORD File::read(void* buffer, DWORD count) {
    DWORD got = 0;
    if (!ReadFile(handle.get(), buffer, count, &got, nullptr))
        fail();
    return got;
}

ULONGLONG File::getLength() const {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(handle.get(), &size))
        fail();
    return static_cast<ULONGLONG>(size.QuadPart);
}

void File::seekToBegin() {
    LARGE_INTEGER zero = {};
    if (!SetFilePointerEx(handle.get(), zero, nullptr, FILE_BEGIN))
        fail();
}

void File::close() {
    if (handle && !CloseHandle(handle.release()))
        fail();
}

void File::abort() {
    handle.reset();
}

void File::fail() const {
    throw FileException::fromLastError(GetLastError(), path);
}
