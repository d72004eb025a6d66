#pragma once

#include "framework/CDialog.h"

#include <QColor>

// What the three pages of the settings window share: a white child page on
// which labels, check boxes and group boxes draw, where Enter and Escape end
// and change nothing, and whose captions are fitted to their text once created.
class COptionPage : public CDialog {
    Q_OBJECT
public:
    explicit COptionPage(int templateId, QWidget* pParent = nullptr) : CDialog(templateId, pParent) {}

    QColor m_brBackground{Qt::white};

protected:
    bool OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}
    void OnEraseBkgnd(QPainter& painter) override;
};
