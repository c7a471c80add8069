#include "framework/Font.h"

#include "framework/Cp932.h"

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
    for (size_t i = 0; i < face.size() && i < LF_FACESIZE - 1; ++i)
        description.lfFaceName[i] = face[i];

    HFONT created = CreateFontIndirectW(&description);
    if (created == nullptr)
        return false;
    if (font != nullptr)
        DeleteObject(font);
    font = created;
    return true;
}
