#include "ui/LogFont.h"

#include <utility>

namespace {

constexpr int logFontSize = 105; // tenths of a point
constexpr char logFontFace[] = "ＭＳ ゴシック";

} // namespace

void applyLogFont(LogEdit& log, Font& font, int dotsPerInch) {
    Font made;
    if (!made.createPointFont(logFontSize, logFontFace, dotsPerInch))
        return;
    // The log lets go of the old font before it is deleted (with `made`, at the return).
    log.setFont(made.handle(), true);
    font = std::move(made);
}
