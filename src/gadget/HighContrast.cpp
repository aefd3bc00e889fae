#include "gadget/HighContrast.h"

namespace quorvane {

std::optional<HighContrastColours> CurrentHighContrast() {
  HIGHCONTRASTW contrast{};
  contrast.cbSize = sizeof(contrast);
  if (!SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) ||
      !(contrast.dwFlags & HCF_HIGHCONTRASTON))
    return std::nullopt;
  return HighContrastColours{GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_HOTLIGHT),
                             GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNTEXT)};
}

}  // namespace quorvane
