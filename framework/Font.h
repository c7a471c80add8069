// Font: owns one GDI font handle, deleted with the object.
#pragma once

#include <windows.h>

#include <string>

class Font {
public:
    Font() = default;
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;
    // Moving hands the handle over; an assignment leaves the font it replaces to the
    // moved-from object, which deletes it in turn.
    Font(Font&& other) noexcept : font(other.font) { other.font = nullptr; }
    Font& operator=(Font&& other) noexcept;
    ~Font();

    // Creates a font of `tenthsOfPoint` / 10 points at `dotsPerInch`:
    // height = -(dpi * tenths / 720) pixels, the minus meaning character height. `faceName` is
    // code page 932; default character set, every other attribute zero. False on failure.
    bool createPointFont(int tenthsOfPoint, const std::string& faceName, int dotsPerInch);

    HFONT handle() const { return font; }

    // The character height of a point size at `dotsPerInch`.
    static int pointHeight(int tenthsOfPoint, int dotsPerInch) {
        return -(dotsPerInch * tenthsOfPoint / 720);
    }

private:
    HFONT font = nullptr;
};
