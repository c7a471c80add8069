// File: a file opened with the wide Win32 functions (paths are UTF-16 end to end), and
// FileException, what its operations throw: the cause, the system error and the file name.
//
// 1. File file; file.open(path, File::shareDenyWrite) throws FileException on failure.
// 2. read / getLength / seekToBegin / close throw FileException too.
// 3. message() gives the standard words for the error, naming the file; the GUI shows them with
//    showFileError (framework/ErrorBox.h). Nothing here shows a window.
#pragma once

#include "base/Handle.h"

#include <windows.h>

#include <string>

class FileException {
public:
    enum Cause {
        generic,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile,
        hardIO,
        outOfMemory,
    };

    FileException(Cause cause, DWORD osError, std::wstring fileName)
        : cause(cause), osError(osError), fileName(std::move(fileName)) {}

    // The cause of a failed Win32 call from its GetLastError code (0 counts as generic).
    static FileException fromLastError(DWORD osError, const std::wstring& fileName);

    Cause getCause() const { return cause; }
    DWORD getOsError() const { return osError; }
    const std::wstring& getFileName() const { return fileName; }

    // The standard words for the cause, naming the file.
    std::wstring message() const;

private:
    Cause cause;
    DWORD osError;
    std::wstring fileName;
};

class File {
public:
    enum Share { shareDenyWrite, shareDenyNone };

    File() = default;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    void open(const std::wstring& path, Share share);
    bool isOpen() const { return static_cast<bool>(handle); }
    // Reads up to `count` bytes; fewer only at the end of the file.
    DWORD read(void* buffer, DWORD count);
    ULONGLONG getLength() const;
    void seekToBegin();
    void close();
    // Closes without throwing; for error paths.
    void abort();
    const std::wstring& getPath() const { return path; }

private:
    [[noreturn]] void fail() const;

    Handle handle; // closed without throwing when the file goes
    std::wstring path;
};
