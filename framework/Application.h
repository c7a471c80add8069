// Application: the program's one application object and its start.
//
// 1. The program defines exactly one object of a class derived from Application, with static
//    storage duration; constructing it makes it the object that WinMain starts.
// 2. WinMain calls initInstance() once. The program runs entirely inside it (a modal dialog)
//    and returns false: there is no message loop of the application's own, and the process
//    ends when initInstance returns.
#pragma once

#include <windows.h>

// The program's title: the caption of its main dialog and of its message boxes.
constexpr wchar_t messageBoxCaption[] = L"QZハルモカLuneファームウェア更新";

class Application {
public:
    Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;
    virtual ~Application();

    // Start-up; true would ask for a message loop, which this framework does not run.
    virtual bool initInstance() = 0;

    // The object WinMain starts, or null before it is constructed.
    static Application* current();
};
