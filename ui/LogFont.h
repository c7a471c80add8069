// The log's font: 10.5-point "ＭＳ ゴシック" at the resolution of the monitor the log is on.
#pragma once

#include "framework/Font.h"
#include "ui/LogEdit.h"

// Makes the log's font for `dotsPerInch` and gives it to `log` with a redraw; `font` owns it from
// then on, and the font it held before is deleted once the log has let go of it. When the font
// can't be made, the log keeps the one it has and `font` stays as it is.
void applyLogFont(LogEdit& log, Font& font, int dotsPerInch);
