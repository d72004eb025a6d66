#include "framework/CDialog.h"

#include "framework/DataExchange.h"
#include "framework/DialogControls.h"
#include "framework/DialogKeyRouter.h"
#include "framework/MainWnd.h"
#include "framework/UiThread.h"
#include "framework/WindowOps.h"
#include "res/DialogTemplates.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QPainter>
#include <QRadioButton>
#include <QScreen>
#include <QWindow>

#include <algorithm>

namespace {
const QEvent::Type kMessageEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

class MessageEvent : public QEvent {
public:
    MessageEvent(unsigned message, quintptr w, qintptr l) : QEvent(kMessageEvent), msg(message), wParam(w), lParam(l) {}
    unsigned msg;
    quintptr wParam;
    qintptr lParam;
};

std::vector<CDialog*>& ModalStack()
{
    static std::vector<CDialog*> stack;
    return stack;
}

void RemoveFromModalStack(CDialog* dialog)
{
    std::vector<CDialog*>& stack = ModalStack();
    stack.erase(std::remove(stack.begin(), stack.end(), dialog), stack.end());
}

bool IsPushButton(const QWidget* w)
{
    return qobject_cast<const QAbstractButton*>(w) && !qobject_cast<const QCheckBox*>(w) &&
           !qobject_cast<const QRadioButton*>(w);
}

bool TakesText(const ControlTemplate& item)
{
    return item.kind != ControlKind::ListBox && item.kind != ControlKind::ComboBox;
}

// Puts a top-level window on screen above its owner.
void ShowTopLevel(QWidget* window, QWidget* owner)
{
    if (owner && owner->windowHandle()) {
        window->winId();
        if (window->windowHandle())
            window->windowHandle()->setTransientParent(owner->windowHandle());
    }
    window->show();
    window->raise();
    window->activateWindow();
}
} // namespace

CDialog::CDialog(int templateId, QWidget* pParentWnd) : QWidget(nullptr), m_templateId(templateId), m_parentWnd(pParentWnd)
{
    DialogKeyRouter::Install();
}

CDialog::~CDialog()
{
    RemoveFromModalStack(this);
    DestroyWindow();
}

bool CDialog::Create(int templateId, QWidget* pParentWnd)
{
    if (!CreateFromTemplate(templateId, pParentWnd, false))
        return false;
    if (m_template->Has(WindowStyle::Visible)) {
        if (isWindow())
            ShowTopLevel(this, m_owner);
        else
            show();
    }
    return true;
}

int CDialog::DoModal() { return RunLoop(true); }

int CDialog::RunModeless() { return RunLoop(false); }

int CDialog::RunLoop(bool modal)
{
    if (!IsUiThread() || m_created)
        return -1;
    QWidget* owner = m_parentWnd ? m_parentWnd->window() : (modal ? AfxGetMainWnd() : nullptr);
    if (owner == this)
        owner = nullptr;
    if (!CreateFromTemplate(m_templateId, owner, modal))
        return -1;
    QPointer<CDialog> self(this);
    if (!m_ended) {
        ShowTopLevel(this, m_owner);
        if (m_focusFirst)
            FocusFirstControl();
        QEventLoop loop;
        m_loop = &loop;
        if (modal)
            ModalStack().push_back(this);
        loop.exec(modal ? QEventLoop::DialogExec : QEventLoop::AllEvents);
        if (!self)
            return -1;
        m_loop = nullptr;
        RemoveFromModalStack(this);
    }
    const int result = m_result;
    DestroyWindow();
    return result;
}

void CDialog::EndDialog(int nResult)
{
    m_result = nResult;
    m_ended = true;
    if (m_loop)
        m_loop->exit();
    hide();
}

void CDialog::DestroyWindow()
{
    if (!m_created)
        return;
    m_created = false;
    StopTimers();
    for (CDialog* child : findChildren<CDialog*>(Qt::FindDirectChildrenOnly))
        child->DestroyWindow();
    for (Slot& slot : m_slots) {
        Unwire(slot);
        if (!slot.widget)
            continue;
        if (slot.owned) {
            delete slot.widget;
        } else {
            slot.widget->hide();
            slot.widget->setParent(nullptr);
        }
    }
    m_slots.clear();
    if (m_loop)
        m_loop->exit();
    hide();
    setWindowModality(Qt::NonModal);
    if (!isWindow())
        setParent(nullptr);
}

CDialog* CDialog::ActiveModal()
{
    return ModalStack().empty() ? nullptr : ModalStack().back();
}

bool CDialog::CreateFromTemplate(int templateId, QWidget* parent, bool modal)
{
    const DialogTemplate* t = DialogTemplates::Find(templateId);
    if (m_created || !t || (t->Has(WindowStyle::Child) && !parent))
        return false;
    m_template = t;
    m_templateId = templateId;
    m_units = DialogUnits::ForFont(t->fontFace, t->fontPoints);
    m_ended = false;
    m_result = -1;
    SetUpWindow(parent, modal);
    CreateControls();
    m_created = true;
    const QPoint before = pos();
    m_focusFirst = OnInitDialog();
    if (!m_created)
        return false;
    if (isWindow() && !t->Has(WindowStyle::Visible) && pos() == before)
        CenterWindow(m_owner);
    return true;
}

void CDialog::SetUpWindow(QWidget* parent, bool modal)
{
    const DialogTemplate& t = *m_template;
    if (t.Has(WindowStyle::Child)) {
        setParent(parent, Qt::Widget);
        m_owner = parent;
    } else {
        Qt::WindowFlags flags = Qt::FramelessWindowHint;
        flags |= t.Has(WindowStyle::ToolWindow) ? Qt::Tool : Qt::Window;
        if (t.Has(WindowStyle::Topmost))
            flags |= Qt::WindowStaysOnTopHint;
        if (parentWidget())
            setParent(nullptr);
        setWindowFlags(flags);
        setWindowModality(modal ? Qt::ApplicationModal : Qt::NonModal);
        m_owner = parent ? parent->window() : nullptr;
    }
    setFont(DialogUnits::TemplateFont(t.fontFace, t.fontPoints));
    const QRect r = m_units.MapRect(t.rect);
    resize(r.size());
    move(r.topLeft());
    setWindowTitle(QString());
}

void CDialog::CreateControls()
{
    m_slots.clear();
    m_slots.reserve(m_template->controls.size());
    for (const ControlTemplate& item : m_template->controls) {
        Slot slot;
        slot.item = &item;
        QWidget* w = item.id != IDC_STATIC ? m_attached.value(item.id).data() : nullptr;
        slot.owned = !w;
        if (!w)
            w = DialogControls::Make(item);
        w->setParent(this);
        DialogControls::Apply(w, item, m_units);
        w->lower(); // the first control of the template lies on top
        slot.widget = w;
        m_slots.push_back(std::move(slot));
        Wire(m_slots.back());
    }
    ChainTabOrder();
}

void CDialog::Wire(Slot& slot)
{
    const int id = slot.item->id;
    QWidget* w = slot.widget;
    if (id == IDC_STATIC || !w)
        return;
    if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        slot.links.push_back(connect(button, &QAbstractButton::clicked, this, [this, id] { OnControlClicked(id); }));
    } else if (auto* list = qobject_cast<QListWidget*>(w)) {
        slot.links.push_back(
            connect(list, &QListWidget::itemSelectionChanged, this, [this, id] { OnCommand(id, LBN_SELCHANGE); }));
        slot.links.push_back(
            connect(list, &QListWidget::itemDoubleClicked, this, [this, id] { OnCommand(id, LBN_DBLCLK); }));
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        slot.links.push_back(connect(combo, &QComboBox::activated, this, [this, id] { OnCommand(id, CBN_SELCHANGE); }));
    }
}

void CDialog::Unwire(Slot& slot)
{
    for (const QMetaObject::Connection& link : slot.links)
        disconnect(link);
    slot.links.clear();
}

void CDialog::ChainTabOrder()
{
    QWidget* previous = nullptr;
    for (const Slot& slot : m_slots) {
        if (!slot.widget)
            continue;
        if (previous)
            QWidget::setTabOrder(previous, slot.widget);
        previous = slot.widget;
    }
}

void CDialog::FocusFirstControl()
{
    for (const Slot& slot : m_slots) {
        QWidget* w = slot.widget;
        if (w && (w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(this) && w->isEnabled()) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void CDialog::OnControlClicked(int id)
{
    if (auto* radio = GetDlgItem<QRadioButton>(id)) {
        for (int other : RadioGroup(id))
            CheckDlgButton(other, other == id ? 1 : 0);
        radio->setChecked(true);
    }
    OnCommand(id, BN_CLICKED);
}

CDialog::Slot* CDialog::FindSlot(int id)
{
    for (Slot& slot : m_slots)
        if (slot.item->id == id)
            return &slot;
    return nullptr;
}

const CDialog::Slot* CDialog::FindSlot(int id) const
{
    for (const Slot& slot : m_slots)
        if (slot.item->id == id)
            return &slot;
    return nullptr;
}

QWidget* CDialog::GetDlgItem(int id) const
{
    const Slot* slot = FindSlot(id);
    return slot ? slot->widget.data() : nullptr;
}

int CDialog::GetDlgCtrlID(const QWidget* control) { return DialogControls::IdOf(control); }

bool CDialog::AttachControl(int id, QWidget& control)
{
    m_attached.insert(id, &control);
    if (!m_created)
        return true;
    Slot* slot = FindSlot(id);
    if (!slot)
        return false;
    QWidget* old = slot->widget;
    if (old == &control)
        return true;
    Unwire(*slot);
    control.setParent(this);
    DialogControls::Apply(&control, *slot->item, m_units);
    if (old) {
        control.setGeometry(old->geometry());
        control.setEnabled(old->isEnabled());
        control.setHidden(old->isHidden());
        if (TakesText(*slot->item))
            Wnd::SetWindowText(&control, Wnd::GetWindowText(old));
        control.stackUnder(old);
        if (slot->owned) {
            delete old;
        } else {
            old->hide();
            old->setParent(nullptr);
        }
    }
    slot->widget = &control;
    slot->owned = false;
    Wire(*slot);
    ChainTabOrder();
    return true;
}

void CDialog::SetDlgItemText(int id, const QString& text) { Wnd::SetWindowText(GetDlgItem(id), text); }

QString CDialog::GetDlgItemText(int id) const { return Wnd::GetWindowText(GetDlgItem(id)); }

void CDialog::EnableDlgItem(int id, bool enable) { Wnd::EnableWindow(GetDlgItem(id), enable); }

void CDialog::ShowDlgItem(int id, int nCmdShow) { Wnd::ShowWindow(GetDlgItem(id), nCmdShow); }

void CDialog::CheckDlgButton(int id, int check)
{
    if (auto* box = GetDlgItem<QCheckBox>(id)) {
        if (check == BST_INDETERMINATE)
            box->setTristate(true);
        box->setCheckState(check == BST_INDETERMINATE ? Qt::PartiallyChecked
                                                       : (check ? Qt::Checked : Qt::Unchecked));
    } else if (auto* button = GetDlgItem<QAbstractButton>(id)) {
        button->setChecked(check != 0);
    }
}

int CDialog::IsDlgButtonChecked(int id) const
{
    if (auto* box = GetDlgItem<QCheckBox>(id)) {
        switch (box->checkState()) {
        case Qt::Checked:
            return BST_CHECKED;
        case Qt::PartiallyChecked:
            return BST_INDETERMINATE;
        default:
            return BST_UNCHECKED;
        }
    }
    auto* button = GetDlgItem<QAbstractButton>(id);
    return button && button->isChecked() ? BST_CHECKED : BST_UNCHECKED;
}

void CDialog::CheckRadioButton(int firstId, int lastId, int checkId)
{
    for (int id = firstId; id <= lastId; ++id)
        if (GetDlgItem(id))
            CheckDlgButton(id, id == checkId ? 1 : 0);
}

std::vector<int> CDialog::RadioGroup(int id) const
{
    std::vector<int> group;
    size_t start = 0;
    while (start < m_slots.size() && m_slots[start].item->id != id)
        ++start;
    if (start == m_slots.size())
        return group;
    while (start > 0 && !m_slots[start].item->Has(ControlStyle::Group))
        --start;
    for (size_t i = start; i < m_slots.size(); ++i) {
        const ControlTemplate& item = *m_slots[i].item;
        if (i > start && item.Has(ControlStyle::Group))
            break;
        if (item.kind == ControlKind::RadioButton)
            group.push_back(item.id);
    }
    return group;
}

void CDialog::EnableWindow(bool enable) { Wnd::EnableWindow(this, enable); }

void CDialog::ShowWindow(int nCmdShow) { Wnd::ShowWindow(this, nCmdShow); }

void CDialog::SetWindowText(const QString& text) { Wnd::SetWindowText(this, text); }

QString CDialog::GetWindowText() const { return Wnd::GetWindowText(const_cast<CDialog*>(this)); }

void CDialog::Invalidate() { Wnd::Invalidate(this); }

void CDialog::MoveWindow(const QRect& rect) { setGeometry(rect); }

void CDialog::PlaceOver(const QWidget* control)
{
    QWidget* parent = parentWidget();
    if (!control || !parent)
        return;
    const QPoint topLeft = parent->isAncestorOf(control) ? control->mapTo(parent, QPoint(0, 0))
                                                         : parent->mapFromGlobal(control->mapToGlobal(QPoint(0, 0)));
    setGeometry(QRect(topLeft, control->size()));
}

void CDialog::CenterWindow(QWidget* owner)
{
    QWidget* over = owner ? owner->window() : nullptr;
    QScreen* screen = over ? over->screen() : this->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(QPoint(0, 0), size());
    const QRect target = over && over->isVisible() && !over->isMinimized() ? over->frameGeometry() : area;
    QRect r(QPoint(0, 0), size());
    r.moveCenter(target.center());
    if (r.right() > area.right())
        r.moveRight(area.right());
    if (r.bottom() > area.bottom())
        r.moveBottom(area.bottom());
    if (r.left() < area.left())
        r.moveLeft(area.left());
    if (r.top() < area.top())
        r.moveTop(area.top());
    move(r.topLeft());
}

void CDialog::SetToolWindow(bool tool)
{
    if (!isWindow())
        return;
    const bool visible = isVisible();
    Qt::WindowFlags flags = windowFlags() & ~Qt::WindowType_Mask;
    setWindowFlags(flags | (tool ? Qt::Tool : Qt::Window));
    if (visible)
        show();
}

bool CDialog::UpdateData(bool bSaveAndValidate)
{
    if (!m_created)
        return false;
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return true;
}

bool CDialog::OnCommand(int id, int code)
{
    const auto it = m_handlers.find({id, code});
    if (it != m_handlers.end()) {
        const std::function<void()> handler = it->second; // the handler may change the map
        handler();
        return true;
    }
    if (code == BN_CLICKED && id == IDOK) {
        OnOK();
        return true;
    }
    if (code == BN_CLICKED && id == IDCANCEL) {
        OnCancel();
        return true;
    }
    return false;
}

void CDialog::PostMessage(unsigned msg, quintptr wParam, qintptr lParam)
{
    QCoreApplication::postEvent(this, new MessageEvent(msg, wParam, lParam));
}

bool CDialog::PreTranslateMessage(QWidget* target, QKeyEvent* key)
{
    if (key->key() == Qt::Key_Escape) {
        QWidget* cancel = GetDlgItem(IDCANCEL);
        if (!cancel || cancel->isEnabled())
            OnCommand(IDCANCEL);
        return true;
    }
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
        return false;
    if (DialogControls::WantsReturn(target))
        return false;
    const int focusedId = GetDlgCtrlID(target);
    if (IsPushButton(target) && focusedId != IDC_STATIC && GetDlgItem(focusedId) == target) {
        if (target->isEnabled())
            OnControlClicked(focusedId);
        return true;
    }
    int defaultId = IDOK;
    for (const Slot& slot : m_slots)
        if (slot.item->kind == ControlKind::PushButton && slot.item->Has(ControlStyle::DefaultButton)) {
            defaultId = slot.item->id;
            break;
        }
    QWidget* button = GetDlgItem(defaultId);
    if (!button || button->isEnabled())
        OnCommand(defaultId);
    return true;
}

bool CDialog::SetTimer(int id, int elapseMs)
{
    if (QThread::currentThread() != thread()) {
        RunOnObjectThread(this, [this, id, elapseMs] { SetTimer(id, elapseMs); });
        return true;
    }
    if (const auto it = m_timers.constFind(id); it != m_timers.constEnd()) {
        killTimer(it.value());
        m_timers.remove(id);
    }
    const int timer = startTimer(std::max(elapseMs, 1));
    if (!timer)
        return false;
    m_timers.insert(id, timer);
    return true;
}

bool CDialog::KillTimer(int id)
{
    if (QThread::currentThread() != thread()) {
        RunOnObjectThread(this, [this, id] { KillTimer(id); });
        return true;
    }
    const auto it = m_timers.constFind(id);
    if (it == m_timers.constEnd())
        return false;
    killTimer(it.value());
    m_timers.remove(id);
    return true;
}

void CDialog::StopTimers()
{
    for (const int timer : std::as_const(m_timers))
        killTimer(timer);
    m_timers.clear();
}

bool CDialog::OnInitDialog()
{
    UpdateData(false);
    return true;
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnOK()
{
    if (!UpdateData(true))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::OnTimer(int) {}

bool CDialog::OnMessage(unsigned, quintptr, qintptr) { return false; }

void CDialog::OnClose()
{
    QWidget* cancel = GetDlgItem(IDCANCEL);
    if (!cancel || cancel->isEnabled())
        OnCommand(IDCANCEL);
}

void CDialog::OnEraseBkgnd(QPainter&) {}

bool CDialog::event(QEvent* e)
{
    if (e->type() == kMessageEvent) {
        const auto* message = static_cast<MessageEvent*>(e);
        OnMessage(message->msg, message->wParam, message->lParam);
        return true;
    }
    return QWidget::event(e);
}

void CDialog::timerEvent(QTimerEvent* e)
{
    for (auto it = m_timers.constBegin(); it != m_timers.constEnd(); ++it)
        if (it.value() == e->timerId()) {
            OnTimer(it.key());
            return;
        }
    QWidget::timerEvent(e);
}

void CDialog::closeEvent(QCloseEvent* e)
{
    e->ignore();
    OnClose();
}

void CDialog::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    OnEraseBkgnd(painter);
}
