// COM on the calling thread for the life of the object; a thread that already has its
// apartment keeps it. For the seams that reach the shell's and the accessibility's objects.
#pragma once

#include <objbase.h>

namespace platform {

class ComApartment {
public:
    ComApartment() : result(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() {
        if (SUCCEEDED(result))
            CoUninitialize();
    }

private:
    HRESULT result;
};

// Releases a COM object held by std::unique_ptr.
struct ComRelease {
    void operator()(IUnknown* object) const { object->Release(); }
};

} // namespace platform
