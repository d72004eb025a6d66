#pragma once

#include <QRect>
#include <QString>

#include <vector>

// What a dialog template says about a window and its controls: the data a dialog
// is built from. Rectangles are in dialog units (x, y, width, height).

enum class ControlKind { Static, Edit, PushButton, CheckBox, RadioButton, GroupBox, ListBox, ComboBox };

// Style facts of one control, as bits.
namespace ControlStyle {
enum : unsigned {
    None = 0,
    Hidden = 1u << 0,        // created without the visible style
    Disabled = 1u << 1,      // created disabled
    TabStop = 1u << 2,       // reached with Tab
    Group = 1u << 3,         // starts a group (radio buttons belong together up to the next one)
    Password = 1u << 4,      // edit: typed characters are masked
    MultiLine = 1u << 5,     // edit: several lines
    WantReturn = 1u << 6,    // multi-line edit: Enter inserts a line break
    Sorted = 1u << 7,        // list box, combo box: items kept in alphabetical order
    DefaultButton = 1u << 8, // push button that Enter presses
    ExtendedSel = 1u << 9,   // list box: extended multiple selection (else single)
    Notify = 1u << 10,       // list box, static: reports clicks and selection changes
    VScroll = 1u << 11,      // vertical scroll bar
    ScrollAlways = 1u << 12, // list box: scroll bar shown even when nothing to scroll
    Border = 1u << 13,       // edit, list box: framed
    AcceptFiles = 1u << 14,  // takes files dropped from the desktop
};
}

// Style facts of the window itself, as bits. A template without Child is a popup:
// no caption, no border.
namespace WindowStyle {
enum : unsigned {
    None = 0,
    Child = 1u << 0,      // a child window inside another dialog
    Visible = 1u << 1,    // visible at creation
    SysMenu = 1u << 2,    // has a system menu
    Topmost = 1u << 3,    // stays above other windows
    ToolWindow = 1u << 4, // no taskbar entry
    AppWindow = 1u << 5,  // forced taskbar entry
    StaticEdge = 1u << 6, // thin sunken edge
};
}

struct ControlTemplate {
    int id = -1;
    ControlKind kind = ControlKind::Static;
    QString text;
    QRect rect; // dialog units
    unsigned style = ControlStyle::None;

    bool Has(unsigned bits) const { return (style & bits) == bits; }
};

struct DialogTemplate {
    int id = 0;
    QRect rect; // position and size, dialog units
    unsigned style = WindowStyle::None;
    QString fontFace;
    int fontPoints = 8;
    std::vector<ControlTemplate> controls; // template (tab) order

    bool Has(unsigned bits) const { return (style & bits) == bits; }
    // The first control with this id, or null.
    const ControlTemplate* Control(int controlId) const
    {
        for (const ControlTemplate& c : controls)
            if (c.id == controlId)
                return &c;
        return nullptr;
    }
};
