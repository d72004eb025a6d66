#include "framework/DialogControls.h"

#include "framework/DialogUnits.h"
#include "framework/WindowOps.h"
#include "framework/WindowsCodes.h"

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

namespace {
const char* const kIdProperty = "orvikDlgId";
const char* const kWantReturnProperty = "orvikWantReturn";
const char* const kSortedProperty = "orvikSorted";

bool TakesText(ControlKind kind)
{
    return kind != ControlKind::ListBox && kind != ControlKind::ComboBox;
}

Qt::FocusPolicy FocusOf(const ControlTemplate& item)
{
    if (item.kind == ControlKind::Static || item.kind == ControlKind::GroupBox)
        return Qt::NoFocus;
    return item.Has(ControlStyle::TabStop) ? Qt::StrongFocus : Qt::ClickFocus;
}

// A sorted drop-down list keeps its items in order however they are added.
void KeepSorted(QComboBox* combo)
{
    if (combo->property(kSortedProperty).toBool())
        return;
    combo->setProperty(kSortedProperty, true);
    QAbstractItemModel* model = combo->model();
    QObject::connect(model, &QAbstractItemModel::rowsInserted, combo, [model] { model->sort(0); });
}

void ApplyKindFacts(QWidget* w, const ControlTemplate& item)
{
    if (auto* label = qobject_cast<QLabel*>(w)) {
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        edit->setEchoMode(item.Has(ControlStyle::Password) ? QLineEdit::Password : QLineEdit::Normal);
        edit->setFrame(item.Has(ControlStyle::Border));
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) {
        plain->setFrameShape(item.Has(ControlStyle::Border) ? QFrame::StyledPanel : QFrame::NoFrame);
        plain->setVerticalScrollBarPolicy(item.Has(ControlStyle::VScroll) ? Qt::ScrollBarAlwaysOn
                                                                         : Qt::ScrollBarAsNeeded);
        plain->setLineWrapMode(QPlainTextEdit::NoWrap);
        plain->setTabChangesFocus(true);
    } else if (auto* list = qobject_cast<QListWidget*>(w)) {
        list->setSortingEnabled(item.Has(ControlStyle::Sorted));
        list->setSelectionMode(item.Has(ControlStyle::ExtendedSel) ? QAbstractItemView::ExtendedSelection
                                                                   : QAbstractItemView::SingleSelection);
        list->setVerticalScrollBarPolicy(item.Has(ControlStyle::ScrollAlways) ? Qt::ScrollBarAlwaysOn
                                                                              : Qt::ScrollBarAsNeeded);
        list->setFrameShape(item.Has(ControlStyle::Border) ? QFrame::StyledPanel : QFrame::NoFrame);
        list->setAcceptDrops(item.Has(ControlStyle::AcceptFiles));
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        combo->setEditable(false);
        if (item.Has(ControlStyle::Sorted))
            KeepSorted(combo);
    } else if (auto* radio = qobject_cast<QRadioButton*>(w)) {
        radio->setAutoExclusive(false); // the dialog keeps its groups by the template
    } else if (auto* button = qobject_cast<QPushButton*>(w)) {
        button->setAutoDefault(false);
        button->setDefault(item.Has(ControlStyle::DefaultButton));
    }
}

QRect PixelRect(QWidget* w, const ControlTemplate& item, const DialogUnits& units)
{
    QRect r = units.MapRect(item.rect);
    // A drop-down list's rectangle includes its dropped list; the closed control is one line.
    if (qobject_cast<QComboBox*>(w))
        r.setHeight(std::min(r.height(), w->sizeHint().height()));
    return r;
}
} // namespace

QWidget* DialogControls::Make(const ControlTemplate& item)
{
    switch (item.kind) {
    case ControlKind::Static:
        return new QLabel;
    case ControlKind::Edit:
        if (item.Has(ControlStyle::MultiLine))
            return new QPlainTextEdit;
        return new QLineEdit;
    case ControlKind::PushButton:
        return new QPushButton;
    case ControlKind::CheckBox:
        return new QCheckBox;
    case ControlKind::RadioButton:
        return new QRadioButton;
    case ControlKind::GroupBox:
        return new QGroupBox;
    case ControlKind::ListBox:
        return new QListWidget;
    case ControlKind::ComboBox:
        return new QComboBox;
    }
    return new QWidget;
}

void DialogControls::Apply(QWidget* w, const ControlTemplate& item, const DialogUnits& units)
{
    w->setProperty(kIdProperty, item.id);
    w->setProperty(kWantReturnProperty, item.Has(ControlStyle::MultiLine | ControlStyle::WantReturn));
    ApplyKindFacts(w, item);
    if (TakesText(item.kind))
        Wnd::SetWindowText(w, item.text);
    w->setGeometry(PixelRect(w, item, units));
    w->setFocusPolicy(FocusOf(item));
    w->setEnabled(!item.Has(ControlStyle::Disabled));
    w->setHidden(item.Has(ControlStyle::Hidden));
}

int DialogControls::IdOf(const QWidget* w)
{
    const QVariant id = w ? w->property(kIdProperty) : QVariant();
    return id.isValid() ? id.toInt() : IDC_STATIC;
}

bool DialogControls::WantsReturn(const QWidget* w)
{
    return w && w->property(kWantReturnProperty).toBool();
}
