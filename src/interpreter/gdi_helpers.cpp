#include "interpreter/gdi_helpers.h"

namespace tsl {

void DeleteGdiObject(PlotterState& ps, gdi::Handle h) {
  if (h == 0 || gdi::IsStock(h)) return;
  if (ps.hdcMeta) {
    if (ps.hdcMeta->DeleteObject(h)) ps.objects->Remove(h);
  } else {
    ps.objects->Remove(h);
  }
}

void SelectReplacing(PlotterState& ps, gdi::Handle h, gdi::Handle* current) {
  gdi::Handle old = *current;
  *current = h;
  gdi::Handle previous = 0;
  if (ps.hdcMeta) {
    previous = ps.hdcMeta->SelectObject(h);
    if (previous && previous != h) DeleteGdiObject(ps, previous);
  }
  // An object the metafile did not hand back was selected into a metafile
  // that is gone (a page split) or into none (measure-only); nothing refers
  // to it any more.
  if (old && old != h && old != previous) ps.objects->Remove(old);
}

}  // namespace tsl
