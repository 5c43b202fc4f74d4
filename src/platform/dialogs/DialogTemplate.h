#pragma once

// Dialog templates: what a dialog looks like, as a resource of the resource
// module. A language library brings its own templates in its resource list
// (TallowinResource of type kDialogResourceType, whose data is one
// DialogTemplate and whose size is sizeof(DialogTemplate)); a template it
// lacks is taken from the program's own table. Positions and sizes are
// dialog units, the font-relative units of the template, never pixels.

#include "Module.h"

#include <cstddef>
#include <cstdint>

namespace platform {

// Window and control styles the templates use, with their platform values.
inline constexpr std::uint32_t WS_POPUP = 0x80000000;
inline constexpr std::uint32_t WS_CHILD = 0x40000000;
inline constexpr std::uint32_t WS_VISIBLE = 0x10000000;
inline constexpr std::uint32_t WS_DISABLED = 0x08000000;
inline constexpr std::uint32_t WS_CAPTION = 0x00C00000;
inline constexpr std::uint32_t WS_BORDER = 0x00800000;
inline constexpr std::uint32_t WS_VSCROLL = 0x00200000;
inline constexpr std::uint32_t WS_GROUP = 0x00020000;
inline constexpr std::uint32_t WS_TABSTOP = 0x00010000;
inline constexpr std::uint32_t DS_SETFONT = 0x40;
inline constexpr std::uint32_t DS_MODALFRAME = 0x80;
// An OK button in the caption bar; it sends command IDOK.
inline constexpr std::uint32_t WS_EX_CAPTIONOKBTN = 0x80000000;

inline constexpr std::uint32_t BS_PUSHBUTTON = 0x0;
inline constexpr std::uint32_t BS_DEFPUSHBUTTON = 0x1;
inline constexpr std::uint32_t BS_CHECKBOX = 0x2;
inline constexpr std::uint32_t BS_AUTOCHECKBOX = 0x3;
inline constexpr std::uint32_t BS_RADIOBUTTON = 0x4;
inline constexpr std::uint32_t BS_GROUPBOX = 0x7;
inline constexpr std::uint32_t BS_AUTORADIOBUTTON = 0x9;
inline constexpr std::uint32_t BS_TYPEMASK = 0xF;
inline constexpr std::uint32_t LBS_NOTIFY = 0x1;
inline constexpr std::uint32_t LBS_SORT = 0x2;
inline constexpr std::uint32_t CBS_DROPDOWNLIST = 0x3;
inline constexpr std::uint32_t CBS_SORT = 0x100;
inline constexpr std::uint32_t ES_AUTOHSCROLL = 0x80;
inline constexpr std::uint32_t ES_READONLY = 0x800;
inline constexpr std::uint32_t SS_LEFT = 0x0;
inline constexpr std::uint32_t SS_CENTER = 0x1;
// A picture: the control's text names the bitmap resource ("#122").
inline constexpr std::uint32_t SS_BITMAP = 0xE;
inline constexpr std::uint32_t SS_TYPEMASK = 0x1F;

inline constexpr const char16_t* kButtonClass = u"BUTTON";
inline constexpr const char16_t* kListBoxClass = u"LISTBOX";
inline constexpr const char16_t* kComboBoxClass = u"COMBOBOX";
inline constexpr const char16_t* kStaticClass = u"STATIC";
inline constexpr const char16_t* kEditClass = u"EDIT";

// A rectangle in dialog units.
struct DialogUnitRect {
    std::int16_t X = 0;
    std::int16_t Y = 0;
    std::int16_t Width = 0;
    std::int16_t Height = 0;
};

struct DialogControlTemplate {
    int Id = 0; // -1 for static texts nobody addresses
    const char16_t* ClassName = nullptr;
    std::uint32_t Style = 0;
    const char16_t* Text = nullptr;
    DialogUnitRect Position;
};

struct DialogTemplate {
    unsigned Id = 0;
    const char16_t* Title = nullptr;
    std::uint32_t Style = 0;
    std::uint32_t ExtendedStyle = 0;
    DialogUnitRect Position;
    const char16_t* FontFace = nullptr;
    std::int16_t FontPointSize = 0;
    const DialogControlTemplate* Controls = nullptr;
    std::size_t ControlCount = 0;
};

struct DialogTemplateTable {
    const DialogTemplate* Templates = nullptr;
    std::size_t Count = 0;
};

// The resource type of a dialog template in a language library.
inline constexpr std::uint32_t kDialogResourceType = 5;

// The template `id` of `module`, else of the program module; null when
// neither holds it.
const DialogTemplate* FindDialogTemplate(ModuleHandle module, unsigned id);

// The program's own templates.
const DialogTemplateTable& ProgramDialogTemplates();

} // namespace platform
