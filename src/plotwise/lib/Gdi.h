#pragma once

// GDI objects and device contexts behind the library's opaque handles. The
// handle types of the interface name these two structures.

#include "DisplayList.h"
#include "Fonts.h"
#include "plotwise/plotwise_types.h"

#include <memory>

struct PLW_GdiObject {
    enum class Kind { Font, Pen, Brush };
    Kind ObjectKind = Kind::Brush;
    bool Stock = false;
    LOGFONTW Logical {};
    std::shared_ptr<plotwise::Font> RealisedFont;
    plotwise::PenStyle Pen;
    plotwise::BrushStyle Brush;
};

struct PLW_DeviceContext {
    bool Printer = false;
    int32_t Dpi = 96;
    HGDIOBJ FontHandle = nullptr;
    HGDIOBJ PenHandle = nullptr;
    HGDIOBJ BrushHandle = nullptr;
    std::shared_ptr<plotwise::Font> SelectedFont;
    plotwise::PenStyle Pen;
    plotwise::BrushStyle Brush;
    COLORREF TextColor = 0x00000000;
    COLORREF BkColor = 0x00FFFFFF;
    int32_t BkMode = OPAQUE;
};

namespace plotwise {

// The object behind a handle, or null when the handle is not a live object.
PLW_GdiObject* LiveObject(HGDIOBJ handle);
HGDIOBJ NewFont(const LOGFONTW& logical);
HGDIOBJ NewPen(const LOGPEN& pen);
HGDIOBJ NewBrush(COLORREF color);
HGDIOBJ StockObject(int32_t index);
// False for a handle that is not a live object; stock objects stay.
bool DeleteGdiObject(HGDIOBJ handle);

// The font of an object, realised on first use; null when no font matches.
const std::shared_ptr<Font>& RealisedFont(PLW_GdiObject& object);

// A device context in its initial state: system font, black pen, white
// brush, black text on white, opaque background.
void ResetDeviceContext(PLW_DeviceContext& dc, bool printer, int32_t dpi);

// Selects object into dc; returns the previous object of the same kind, or
// null when the object is not live or its font cannot be realised.
HGDIOBJ SelectGdiObject(PLW_DeviceContext& dc, HGDIOBJ object);

// The font selected in dc, realised; null only when no font matches at all.
// The reference is dc's own, good until the next font is selected in dc.
const std::shared_ptr<Font>& SelectedFont(PLW_DeviceContext& dc);

} // namespace plotwise
