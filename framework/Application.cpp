#include "framework/Application.h"

namespace {

Application* theApplication = nullptr;

} // namespace

Application::Application() {
    theApplication = this;
}

Application::~Application() {
    if (theApplication == this)
        theApplication = nullptr;
}

Application* Application::current() {
    return theApplication;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    Application* application = Application::current();
    if (application == nullptr)
        return 1;
    application->initInstance();
    return 0;
}
