// The Windows label font.
#pragma once
#include "interpreter/label_services.h"

namespace tsl {

// NewFont and LabelFontHeight are label services
// (interpreter/label_services.h).

// Creates a font from the settings copy's template and, unless measure-only,
// selects it and deletes the label font it replaces.
void SelectLabelFont(PlotterState& ps);

}  // namespace tsl
