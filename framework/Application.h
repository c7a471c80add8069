// Application: the program's one application object and its start.
//
// 1. The program defines exactly one object of a class derived from Application, with static
//    storage duration, and gives it the program's name; constructing it makes it the object
//    that run() starts.
// 2. The program's WinMain returns run(), which restricts the DLL search and calls
//    initInstance() once. The program runs entirely inside it (a modal dialog) and returns
//    false: there is no message loop of the application's own, and the process ends when
//    initInstance returns.
#pragma once

#include <windows.h>

class Application {
public:
    // `name` captions the framework's message boxes (framework/ErrorBox.h).
    explicit Application(const wchar_t* name) noexcept;
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;
    virtual ~Application();

    // Start-up; true would ask for a message loop, which this framework does not run.
    virtual bool initInstance() = 0;

    const wchar_t* name() const { return programName; }

    // The object run() starts, or null before it is constructed.
    static Application* current();

    // The program's start, for WinMain: 1 without an application object, else 0 once
    // initInstance() has returned.
    static int run();

private:
    const wchar_t* programName;
};
