#pragma once

namespace orva {

// A sheet of paper in PostScript points (1/72 inch), portrait.
struct CPaperSize {
    double widthPt = 0.0;
    double heightPt = 0.0;
};

inline constexpr CPaperSize kA4Paper{595.276, 841.890};
inline constexpr CPaperSize kLetterPaper{612.0, 792.0};

// The paper the user's locale prints on (LC_PAPER, read from the environment without changing
// the process's locale): US Letter where the locale says so, A4 when it says nothing.
CPaperSize LocalePaperSize();

}  // namespace orva
