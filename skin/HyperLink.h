#pragma once

#include <QFont>
#include <QLabel>
#include <QString>

// Opens a link target with the desktop's opener, falling back to the desktop's
// default program for web pages. Above 32 means success; 0 to 32 are the
// reasons ShowOpenFailure names.
int OpenLinkTarget(const QString& target);

// A static text turned into a link: drawn underlined in link colours over the
// window's background, with a hand cursor and a tooltip naming the target. A
// click opens the target; a failure beeps and says why.
class CHyperLink : public QLabel {
    Q_OBJECT
public:
    // Link colours (COLORREF, 0x00BBGGRR).
    static constexpr quint32 kLinkColor = 0xEE0000;   // blue
    static constexpr quint32 kOpenedColor = 0x8B1A55; // purple

    explicit CHyperLink(QWidget* parent = nullptr);

    // Sets what a click opens (before attaching; else the text is the target).
    void SetTarget(const QString& target) { m_strTarget = target; }
    QString Target() const { return m_strTarget; }

    // Takes over the control once it has its place and text: the target from
    // the text (or the text from the target), the underlined font, the size of
    // the text, the hand cursor and the tooltip. Run once by the owning dialog
    // after binding the control.
    void PreSubclassWindow();
    // Shrinks or grows the control to its text, keeping it where its alignment
    // puts it (left, centred or right; top or vertically centred).
    void FitToText();
    void LoadHandCursor();

    // The failure box: "Unable to open hyperlink:", an empty line and the reason.
    static void ShowOpenFailure(int code);
    static QString OpenFailureMessage(int code);
    static QString OpenFailureReason(int code);

    // The colour the text is drawn in now (COLORREF).
    quint32 CurrentTextColor() const;
    bool IsOver() const { return m_bOver; }
    bool IsOpened() const { return m_bOpened; }
    QFont LinkFont() const { return m_fontLink; }

    quint32 m_crLink = kLinkColor;
    quint32 m_crOpened = kOpenedColor;
    quint32 m_crHover; // the highlight colour when made
    bool m_bUnderlined = true;
    bool m_bFitToText = true;

signals:
    // The control was clicked (after the link's own handling).
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void OnClicked();
    void SetOver(bool over);

    bool m_bOver = false;
    bool m_bOpened = false;
    bool m_bPressed = false;
    QString m_strTarget;
    QFont m_fontLink;
    bool m_hHandCursor = false;
};
