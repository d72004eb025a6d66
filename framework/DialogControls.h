#pragma once

#include "framework/DialogTemplate.h"

class DialogUnits;
class QWidget;

// Controls made from template items: a static becomes a QLabel, an edit a QLineEdit
// (a QPlainTextEdit when multi-line), a push button a QPushButton, a check box a
// QCheckBox, a radio button a QRadioButton, a group box a QGroupBox, a list box a
// QListWidget and a drop-down list a non-editable QComboBox.
class DialogControls {
public:
    // A new control of the item's kind, not yet placed.
    static QWidget* Make(const ControlTemplate& item);
    // Places any widget as the item says: its id, rectangle, text, visible and
    // enabled state, focus by tab stop, and the style facts its kind understands
    // (password, multi-line, sorted, selection mode, scroll bars, border, default
    // button). Works on the generic controls and on a window's own control classes.
    static void Apply(QWidget* w, const ControlTemplate& item, const DialogUnits& units);

    // The id a control was placed with, or IDC_STATIC.
    static int IdOf(const QWidget* w);
    // Whether Enter belongs to this control (a multi-line edit that wants it).
    static bool WantsReturn(const QWidget* w);
};
