#pragma once

#include "framework/DialogTemplate.h"
#include "framework/DialogUnits.h"
#include "framework/WindowsCodes.h"

#include <QHash>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <map>
#include <utility>
#include <vector>

class CDataExchange;
class QEventLoop;
class QKeyEvent;
class QPainter;

// A window built from a dialog template, addressed by control ids, with commands
// dispatched by id, data exchange between members and controls, modal runs, timers
// and posted messages. Windows derive from it and describe themselves the classic
// way: a template id, handlers registered with ON_COMMAND in the constructor, and
// the virtual OnInitDialog, DoDataExchange, OnOK, OnCancel, OnTimer, OnMessage.
//
// A popup template makes a frameless top-level window (a tool window gets no taskbar
// entry, a topmost one stays above others); a child template makes a child widget of
// its parent, placed with MoveWindow or PlaceOver.
//
// Controls from the template are generic Qt widgets (see DialogControls). A window
// puts its own control class at an id with AttachControl (or DDX_Control), before or
// after creation; the widget then gets the template item's place, text and state.
// Attached controls stay owned by the window class (usually members); the generic
// ones belong to the dialog and go with DestroyWindow.
//
// The dialog's own painting is left to subclasses (override paintEvent or
// OnEraseBkgnd), so a skin can paint the background.
class CDialog : public QWidget {
    Q_OBJECT
public:
    // templateId and pParentWnd serve DoModal; the owner of a modal run is
    // pParentWnd's window, else the application's main window.
    explicit CDialog(int templateId = 0, QWidget* pParentWnd = nullptr);
    ~CDialog() override;

    // Modeless creation from a template: builds the window and its controls, runs
    // OnInitDialog, centres a popup that OnInitDialog did not move (over
    // pParentWnd, else the screen's work area) and shows it when the template is
    // visible. A child template needs a parent. False when the template is unknown
    // or the window exists already.
    bool Create(int templateId, QWidget* pParentWnd = nullptr);
    // Runs the dialog modally (application modal) over its owner and returns the
    // code given to EndDialog, or -1 when it could not be created. The window is
    // created for the run and destroyed after it. Window thread only; the worker
    // goes through RunOnUiThread.
    virtual int DoModal();
    // Runs the dialog like DoModal, in a loop of its own until EndDialog, but
    // without modality: other windows of the program without an owner (a
    // modeless settings window) keep taking input meanwhile. For the main
    // window, whose run is the program's run. Not on the stack of modal runs.
    int RunModeless();
    // Ends a modal run with nResult; hides a modeless window.
    void EndDialog(int nResult);
    // Destroys the window: its generic controls are deleted, attached controls and
    // child dialogs are detached (they belong to their own owners), timers stop.
    void DestroyWindow();

    bool IsCreated() const { return m_created; }
    int TemplateId() const { return m_templateId; }
    const DialogTemplate* Template() const { return m_template; }
    const DialogUnits& Units() const { return m_units; }
    QRect MapDialogRect(const QRect& units) const { return m_units.MapRect(units); }
    // The innermost dialog running modally, or null.
    static CDialog* ActiveModal();

    // Controls by id.
    QWidget* GetDlgItem(int id) const;
    template <class T>
    T* GetDlgItem(int id) const
    {
        return dynamic_cast<T*>(GetDlgItem(id));
    }
    static int GetDlgCtrlID(const QWidget* control);
    // Puts control at id. Before creation the template item is built in it; after
    // creation it replaces the control there, taking its place, text and state.
    // False (but remembered for creation) when the template has no such id.
    bool AttachControl(int id, QWidget& control);
    void SetDlgItemText(int id, const QString& text);
    QString GetDlgItemText(int id) const;
    void EnableDlgItem(int id, bool enable);
    void ShowDlgItem(int id, int nCmdShow);
    void CheckDlgButton(int id, int check);
    int IsDlgButtonChecked(int id) const;
    // Checks checkId and unchecks the other radio buttons of first..last.
    void CheckRadioButton(int firstId, int lastId, int checkId);
    // The radio buttons that belong together with id: from the group start before
    // it to the next group start, in template order.
    std::vector<int> RadioGroup(int id) const;

    // The window itself (thread-safe as Wnd::...).
    void EnableWindow(bool enable);
    void ShowWindow(int nCmdShow);
    void SetWindowText(const QString& text);
    QString GetWindowText() const;
    void Invalidate();
    void MoveWindow(const QRect& rect);
    // Puts this child dialog on the rectangle of control (a control of its parent).
    void PlaceOver(const QWidget* control);
    // Centres over owner when it is visible and not minimised, else on the work area.
    void CenterWindow(QWidget* owner = nullptr);
    // Gives the window a taskbar entry or not.
    void SetToolWindow(bool tool);

    // Data exchange: false moves member values into the controls, true the
    // controls' values into the members.
    bool UpdateData(bool bSaveAndValidate = true);

    // A command from control id with a notification code: the handler registered
    // for it, else for commands 1 and 2 OnOK and OnCancel. True when handled.
    virtual bool OnCommand(int id, int code = BN_CLICKED);
    // Posts a private message to this window; it reaches OnMessage on the window
    // thread. Any thread.
    void PostMessage(unsigned msg, quintptr wParam = 0, qintptr lParam = 0);
    // Dialog key handling for a key pressed in target: Enter presses the focused
    // push button, else the default button (command 1 when none), Escape is command
    // 2; a multi-line edit that wants Enter keeps it. True when the key was used.
    // A window that must not react to these keys returns false for them.
    virtual bool PreTranslateMessage(QWidget* target, QKeyEvent* key);

    // Timers by id, repeating until killed. Any thread.
    bool SetTimer(int id, int elapseMs);
    bool KillTimer(int id);

protected:
    virtual bool OnInitDialog();
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual void OnOK();
    virtual void OnCancel();
    virtual void OnTimer(int id);
    virtual bool OnMessage(unsigned msg, quintptr wParam, qintptr lParam);
    // The window is asked to close (its close box, Alt+F4): command 2 by default.
    virtual void OnClose();
    // Paints the background; nothing by default.
    virtual void OnEraseBkgnd(QPainter& painter);

    template <class T>
    void ON_COMMAND(int id, void (T::*handler)())
    {
        ON_CONTROL(BN_CLICKED, id, handler);
    }
    template <class T>
    void ON_CONTROL(int code, int id, void (T::*handler)())
    {
        T* self = static_cast<T*>(this);
        m_handlers[{id, code}] = [self, handler] { (self->*handler)(); };
    }
    void ON_COMMAND(int id, std::function<void()> handler) { m_handlers[{id, BN_CLICKED}] = std::move(handler); }

    bool event(QEvent* e) override;
    void timerEvent(QTimerEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    struct Slot {
        const ControlTemplate* item = nullptr;
        QPointer<QWidget> widget;
        bool owned = false;
        std::vector<QMetaObject::Connection> links;
    };

    bool CreateFromTemplate(int templateId, QWidget* parent, bool modal);
    int RunLoop(bool modal);
    void SetUpWindow(QWidget* parent, bool modal);
    void CreateControls();
    void Wire(Slot& slot);
    void Unwire(Slot& slot);
    void ChainTabOrder();
    void FocusFirstControl();
    void OnControlClicked(int id);
    Slot* FindSlot(int id);
    const Slot* FindSlot(int id) const;
    void StopTimers();

    int m_templateId = 0;
    QPointer<QWidget> m_parentWnd;
    const DialogTemplate* m_template = nullptr;
    DialogUnits m_units;
    bool m_created = false;
    QPointer<QWidget> m_owner;
    std::vector<Slot> m_slots; // template order
    QHash<int, QPointer<QWidget>> m_attached;
    std::map<std::pair<int, int>, std::function<void()>> m_handlers;
    QHash<int, int> m_timers; // our id -> Qt timer id
    QEventLoop* m_loop = nullptr;
    bool m_ended = false;
    bool m_focusFirst = true;
    int m_result = -1;
};
