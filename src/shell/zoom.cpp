#include "shell/zoom.h"

#include "resources/resource_ids.h"

namespace tsl::shell {

namespace {

unsigned StepIn(unsigned z) {
  if (z == 0) return kZoomNormal;
  if (z < 1000) {
    unsigned n = 1000 / z;
    return n < 3 ? 1000 : 1000 / (n - 1);
  }
  return z <= 30999 ? z + 1000 : kZoomLargest;
}

unsigned StepOut(unsigned z) {
  if (z == 0) return kZoomNormal;
  if (z <= 1000) {
    unsigned n = 1000 / z;
    return n > 30 ? kZoomSmallest : 1000 / (n + 1);
  }
  return z <= 2000 ? 1000 : z - 1000;
}

}  // namespace

bool IsZoomCommand(unsigned id) {
  return id == IDM_FIT_WINDOW || id == IDM_NORMAL_VIEW || (id >= IDM_ZOOM_IN && id <= IDM_ZOOM_8) ||
         (id >= IDM_ZOOM_OUT && id <= IDM_ZOOM_1_8);
}

unsigned ChangeZoom(unsigned zoom, unsigned id) {
  if (id == IDM_FIT_WINDOW) return kZoomFit;
  if (id == IDM_NORMAL_VIEW) return kZoomNormal;
  if (id == IDM_ZOOM_IN) return StepIn(zoom);
  if (id == IDM_ZOOM_OUT) return StepOut(zoom);
  if (id >= IDM_ZOOM_2 && id <= IDM_ZOOM_8) return (id - 1310) * 1000;
  if (id >= IDM_ZOOM_1_2 && id <= IDM_ZOOM_1_8) return 1000 / (id - 1320);
  return zoom;
}

}  // namespace tsl::shell
