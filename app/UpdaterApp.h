// UpdaterApp: the application object. The program's WinMain (app/UpdaterApp.cpp) starts it
// through Application::run(); its start-up runs the main dialog and then lets the program end.
#pragma once

#include "framework/Application.h"

class UpdaterApp : public Application {
public:
    UpdaterApp() noexcept;

    // Runs the main dialog modally; returns false once it has ended, so that the program
    // exits.
    bool initInstance() override;
};
