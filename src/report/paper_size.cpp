#include "report/paper_size.h"

#include <langinfo.h>
#include <locale.h>

#include <cstdint>

namespace orva {

namespace {

int PaperMillimetres(nl_item item, locale_t locale) {
    // glibc hands the LC_PAPER numbers over as the value of the pointer, not through it.
    return static_cast<int>(reinterpret_cast<intptr_t>(nl_langinfo_l(item, locale)));
}

}  // namespace

CPaperSize LocalePaperSize() {
    // A locale object of our own: setlocale would change every other thread's formatting.
    const locale_t locale = newlocale(LC_PAPER_MASK, "", static_cast<locale_t>(nullptr));
    if (locale == static_cast<locale_t>(nullptr)) {
        return kA4Paper;
    }
    const int width = PaperMillimetres(_NL_PAPER_WIDTH, locale);
    const int height = PaperMillimetres(_NL_PAPER_HEIGHT, locale);
    freelocale(locale);
    // glibc rounds Letter to whole millimetres (216 x 279); the page takes the exact inches.
    if (width == 216 && height == 279) {
        return kLetterPaper;
    }
    if (width < 50 || height < 50 || width > 2000 || height > 2000) {
        return kA4Paper;
    }
    return {width * 72.0 / 25.4, height * 72.0 / 25.4};
}

}  // namespace orva
