#include "FakeAccessibility.h"

FakeAccessibility& FakeAccessibility::get() {
    static FakeAccessibility fake;
    return fake;
}

bool platform::announce(HWND window, const wchar_t* text, AnnouncementKind kind) {
    FakeAccessibility& fake = FakeAccessibility::get();
    if (fake.refuse)
        return false;
    fake.announcements.push_back({window, GetCurrentThreadId(), text, kind});
    return true;
}

bool platform::setAccessibleName(HWND window, const wchar_t* name) {
    FakeAccessibility& fake = FakeAccessibility::get();
    if (fake.refuse)
        return false;
    fake.names.emplace_back(window, name);
    return true;
}
