// Clicks and the pointer shape over the link bar. Not built yet: a click is
// handled and does nothing; the pointer keeps its default shape.
#include "gadget/GadgetControl.h"

namespace quorvane {

LRESULT GadgetControl::OnLButtonDown(WPARAM, LPARAM) { return 0; }

bool GadgetControl::OnSetCursor(WPARAM, LPARAM) { return false; }

}  // namespace quorvane
