#include "framework/Font.h"

#include "base/TextConversion.h"

#include <utility>

Font& Font::operator=(Font&& other) noexcept {
    std::swap(font, other.font);
    return *this;
}

Font::~Font() {
    if (font != nullptr)
        DeleteObject(font);
}

bool Font::createPointFont(int tenthsOfPoint, const std::string& faceName, int dotsPerInch) {
    LOGFONTW description = {};
    description.lfHeight = pointHeight(tenthsOfPoint, dotsPerInch);
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
