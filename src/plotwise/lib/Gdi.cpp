#include "Gdi.h"

#include <array>
#include <cstdint>
#include <unordered_set>

namespace plotwise {
namespace {

constexpr int32_t kStockObjectCount = DEFAULT_GUI_FONT + 1;
constexpr int32_t kSystemFontEmSize = 16;
constexpr int32_t kGuiFontHeight = -11;

std::unordered_set<PLW_GdiObject*>& LiveObjects()
{
    static std::unordered_set<PLW_GdiObject*> objects;
    return objects;
}

PLW_GdiObject StockFont(const char16_t* face, int32_t height, uint8_t pitchAndFamily)
{
    PLW_GdiObject object;
    object.ObjectKind = PLW_GdiObject::Kind::Font;
    object.Stock = true;
    object.Logical.lfHeight = height;
    object.Logical.lfWeight = FW_NORMAL;
    object.Logical.lfPitchAndFamily = pitchAndFamily;
    for (int i = 0; face[i] && i < LF_FACESIZE - 1; ++i)
        object.Logical.lfFaceName[i] = face[i];
    return object;
}

PLW_GdiObject StockBrush(bool null, COLORREF color)
{
    PLW_GdiObject object;
    object.ObjectKind = PLW_GdiObject::Kind::Brush;
    object.Stock = true;
    object.Brush = { null, color };
    return object;
}

PLW_GdiObject StockPen(bool null, COLORREF color)
{
    PLW_GdiObject object;
    object.ObjectKind = PLW_GdiObject::Kind::Pen;
    object.Stock = true;
    object.Pen = { null, 1, color };
    return object;
}

// Indices without a stock object hold a null brush marked as not stock.
std::array<PLW_GdiObject, kStockObjectCount>& StockObjects()
{
    static std::array<PLW_GdiObject, kStockObjectCount> objects = [] {
        std::array<PLW_GdiObject, kStockObjectCount> table {};
        constexpr uint8_t kSwissVariable = 0x22;
        constexpr uint8_t kModernFixed = 0x31;
        table[WHITE_BRUSH] = StockBrush(false, 0x00FFFFFF);
        table[LTGRAY_BRUSH] = StockBrush(false, 0x00C0C0C0);
        table[GRAY_BRUSH] = StockBrush(false, 0x00808080);
        table[DKGRAY_BRUSH] = StockBrush(false, 0x00404040);
        table[BLACK_BRUSH] = StockBrush(false, 0x00000000);
        table[NULL_BRUSH] = StockBrush(true, 0);
        table[WHITE_PEN] = StockPen(false, 0x00FFFFFF);
        table[BLACK_PEN] = StockPen(false, 0x00000000);
        table[NULL_PEN] = StockPen(true, 0);
        table[10] = StockFont(u"", kSystemFontEmSize, kModernFixed); // OEM_FIXED_FONT
        table[11] = StockFont(u"", kSystemFontEmSize, kModernFixed); // ANSI_FIXED_FONT
        table[12] = StockFont(u"", kSystemFontEmSize, kSwissVariable); // ANSI_VAR_FONT
        table[SYSTEM_FONT] = StockFont(u"", kSystemFontEmSize, kSwissVariable);
        table[16] = StockFont(u"", kSystemFontEmSize, kModernFixed); // SYSTEM_FIXED_FONT
        table[DEFAULT_GUI_FONT] = StockFont(u"", kGuiFontHeight, kSwissVariable);
        return table;
    }();
    return objects;
}

HGDIOBJ Register(PLW_GdiObject* object)
{
    LiveObjects().insert(object);
    return object;
}

} // namespace

PLW_GdiObject* LiveObject(HGDIOBJ handle)
{
    if (!handle)
        return nullptr;
    auto& stock = StockObjects();
    auto address = reinterpret_cast<uintptr_t>(handle);
    if (address >= reinterpret_cast<uintptr_t>(&stock.front()) && address <= reinterpret_cast<uintptr_t>(&stock.back()))
        return handle->Stock ? handle : nullptr;
    return LiveObjects().count(handle) ? handle : nullptr;
}

HGDIOBJ NewFont(const LOGFONTW& logical)
{
    auto object = std::make_unique<PLW_GdiObject>();
    object->ObjectKind = PLW_GdiObject::Kind::Font;
    object->Logical = logical;
    object->RealisedFont = Font::Create(logical);
    if (!object->RealisedFont)
        return nullptr;
    return Register(object.release());
}

HGDIOBJ NewPen(const LOGPEN& pen)
{
    auto* object = new PLW_GdiObject();
    object->ObjectKind = PLW_GdiObject::Kind::Pen;
    // Every style but the null pen draws solid; a width of 0 is one dot.
    object->Pen = { pen.lopnStyle == PS_NULL, pen.lopnWidth.x > 0 ? pen.lopnWidth.x : 1, pen.lopnColor & 0x00FFFFFF };
    return Register(object);
}

HGDIOBJ NewBrush(COLORREF color)
{
    auto* object = new PLW_GdiObject();
    object->ObjectKind = PLW_GdiObject::Kind::Brush;
    object->Brush = { false, color & 0x00FFFFFF };
    return Register(object);
}

HGDIOBJ StockObject(int32_t index)
{
    if (index < 0 || index >= kStockObjectCount)
        return nullptr;
    PLW_GdiObject& object = StockObjects()[static_cast<size_t>(index)];
    return object.Stock ? &object : nullptr;
}

bool DeleteGdiObject(HGDIOBJ handle)
{
    PLW_GdiObject* object = LiveObject(handle);
    if (!object)
        return false;
    if (object->Stock)
        return true;
    LiveObjects().erase(object);
    delete object;
    return true;
}

const std::shared_ptr<Font>& RealisedFont(PLW_GdiObject& object)
{
    if (!object.RealisedFont)
        object.RealisedFont = Font::Create(object.Logical);
    return object.RealisedFont;
}

void ResetDeviceContext(PLW_DeviceContext& dc, bool printer, int32_t dpi)
{
    dc = PLW_DeviceContext {};
    dc.Printer = printer;
    dc.Dpi = dpi;
    dc.FontHandle = StockObject(SYSTEM_FONT);
    dc.PenHandle = StockObject(BLACK_PEN);
    dc.BrushHandle = StockObject(WHITE_BRUSH);
    dc.Pen = dc.PenHandle->Pen;
    dc.Brush = dc.BrushHandle->Brush;
}

HGDIOBJ SelectGdiObject(PLW_DeviceContext& dc, HGDIOBJ handle)
{
    PLW_GdiObject* object = LiveObject(handle);
    if (!object)
        return nullptr;
    HGDIOBJ previous = nullptr;
    switch (object->ObjectKind) {
    case PLW_GdiObject::Kind::Font: {
        const std::shared_ptr<Font>& font = RealisedFont(*object);
        if (!font)
            return nullptr;
        previous = dc.FontHandle;
        dc.FontHandle = object;
        // Layouts select the same font again and again; a copy of the
        // pointer would count it up and down each time.
        if (dc.SelectedFont != font)
            dc.SelectedFont = font;
        break;
    }
    case PLW_GdiObject::Kind::Pen:
        previous = dc.PenHandle;
        dc.PenHandle = object;
        dc.Pen = object->Pen;
        break;
    case PLW_GdiObject::Kind::Brush:
        previous = dc.BrushHandle;
        dc.BrushHandle = object;
        dc.Brush = object->Brush;
        break;
    }
    return previous;
}

const std::shared_ptr<Font>& SelectedFont(PLW_DeviceContext& dc)
{
    if (!dc.SelectedFont) {
        if (PLW_GdiObject* stock = LiveObject(StockObject(SYSTEM_FONT)))
            dc.SelectedFont = RealisedFont(*stock);
    }
    return dc.SelectedFont;
}

} // namespace plotwise
