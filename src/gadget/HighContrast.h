#pragma once
// The system colours the gadget draws with while a high-contrast theme is
// on, in place of its own colours and bar strips.
#include <windows.h>

#include <optional>

namespace quorvane {

struct HighContrastColours {
  COLORREF window = 0;      // the text area
  COLORREF windowText = 0;  // the typed text
  COLORREF hotLight = 0;    // the link: the feed title
  COLORREF buttonFace = 0;  // the bars
  COLORREF buttonText = 0;  // the title and the bar outlines

  bool operator==(const HighContrastColours& other) const {
    return window == other.window && windowText == other.windowText && hotLight == other.hotLight &&
           buttonFace == other.buttonFace && buttonText == other.buttonText;
  }
};

// The theme's colours while high contrast is on (SPI_GETHIGHCONTRAST),
// else nothing.
std::optional<HighContrastColours> CurrentHighContrast();

}  // namespace quorvane
