#include "framework/Font.h"

#include "framework/Cp932.h"

#include <cwchar>

namespace {

int screenDotsPerInchY() {
    HDC screen = GetDC(nullptr);
    if (screen == nullptr)
        return 96;
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

} // namespace

Font::~Font() {
    if (font != nullptr)
        DeleteObject(font);
}

bool Font::createPointFont(int tenthsOfPoint, const std::string& faceName) {
    LOGFONTW description = {};
    description.lfHeight = pointHeight(tenthsOfPoint, screenDotsPerInchY());
    description.lfCharSet = DEFAULT_CHARSET;
    const std::wstring face = toWide(faceName);
    wcsncpy(description.lfFaceName, face.c_str(), LF_FACESIZE - 1);

    HFONT created = CreateFontIndirectW(&description);
    if (created == nullptr)
        return false;
    if (font != nullptr)
        DeleteObject(font);
    font = created;
    return true;
}
