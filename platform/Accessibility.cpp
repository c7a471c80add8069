#include "platform/Accessibility.h"

#include "platform/ComApartment.h"
#include "platform/SystemFunction.h"

#include <initguid.h>
#include <oleacc.h>
#include <oleauto.h>

#include <memory>

namespace platform {
namespace {

// UI Automation's notification API (UIAutomationCore.dll), declared here: the SDK's header of it
// does not compile as C++ with every toolchain. The provider is an IRawElementProviderSimple.
using HostProviderFromHwndFunction = HRESULT(WINAPI*)(HWND, IUnknown**);
using RaiseNotificationEventFunction = HRESULT(WINAPI*)(IUnknown*, int kind, int processing,
                                                        BSTR displayString, BSTR activityId);
constexpr int notificationKindActionCompleted = 2; // NotificationKind_ActionCompleted
constexpr int notificationKindOther = 4;           // NotificationKind_Other
constexpr int notificationProcessingAll = 2;       // NotificationProcessing_All

// Groups the program's announcements for screen readers that sort them by activity.
constexpr wchar_t activityId[] = L"KelvoUpdate.Log";

struct FreeString {
    void operator()(BSTR text) const { SysFreeString(text); }
};
using String = std::unique_ptr<OLECHAR, FreeString>;

// Loaded once from the system folder and kept for the program's life: the providers it hands
// out live in it. Its functions are then looked up like any of a newer Windows.
bool automationCoreLoaded() {
    static const HMODULE module =
        LoadLibraryExW(L"uiautomationcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return module != nullptr;
}

template <class Function> Function automationFunction(const char* name) {
    return automationCoreLoaded() ? systemFunction<Function>(L"uiautomationcore.dll", name)
                                  : nullptr;
}

} // namespace

bool announce(HWND window, const wchar_t* text, AnnouncementKind kind) {
    const auto hostProvider =
        automationFunction<HostProviderFromHwndFunction>("UiaHostProviderFromHwnd");
    const auto raise =
        automationFunction<RaiseNotificationEventFunction>("UiaRaiseNotificationEvent");
    if (hostProvider == nullptr || raise == nullptr)
        return false;
    IUnknown* created = nullptr;
    if (FAILED(hostProvider(window, &created)) || created == nullptr)
        return false;
    const std::unique_ptr<IUnknown, ComRelease> provider(created);
    const String display(SysAllocString(text));
    const String activity(SysAllocString(activityId));
    if (!display || !activity)
        return false;
    const int notificationKind = kind == AnnouncementKind::stepDone
                                     ? notificationKindActionCompleted
                                     : notificationKindOther;
    return SUCCEEDED(raise(provider.get(), notificationKind, notificationProcessingAll,
                           display.get(), activity.get()));
}

bool setAccessibleName(HWND window, const wchar_t* name) {
    ComApartment apartment;
    IAccPropServices* created = nullptr;
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IAccPropServices, reinterpret_cast<void**>(&created))))
        return false;
    const std::unique_ptr<IAccPropServices, ComRelease> services(created);
    return SUCCEEDED(services->SetHwndPropStr(window, static_cast<DWORD>(OBJID_CLIENT),
                                              CHILDID_SELF, PROPID_ACC_NAME, name));
}

} // namespace platform
