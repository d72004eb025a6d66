#pragma once

// Helpers for driving the program's modal windows in tests: run a dialog and
// act on it once it is up, wait for a modal window another thread asked for,
// and write screenshots into the build folder.
#include "framework/CDialog.h"
#include "skin/TahomaFace.h"

#include <QBitmap>
#include <QDir>
#include <QPainter>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

#include <gtest/gtest.h>

namespace dialogtest {

// Runs dlg modally; `act` runs once it is shown. A dialog the action leaves
// open is ended with -99, so a test never hangs.
template <class D>
int RunModal(D& dlg, const std::function<void(D&)>& act)
{
    static bool faceInstalled = (InstallTahomaFace(), true);
    (void)faceInstalled;
    bool acted = false;
    auto running = std::make_shared<bool>(true);
    QTimer::singleShot(0, [&, running] {
        acted = dlg.isVisible();
        act(dlg);
        QTimer::singleShot(0, [&dlg, running] {
            if (*running && CDialog::ActiveModal() == &dlg)
                dlg.EndDialog(-99);
        });
    });
    const int result = dlg.DoModal();
    *running = false;
    EXPECT_TRUE(acted) << "the dialog was not shown";
    return result;
}

// Acts on the modal dialog of type D once one is up (asked for by another
// thread). The action runs inside the dialog's own modal loop; the caller
// keeps the window thread serving events meanwhile (for example by waiting
// for the worker with QTest::qWaitFor).
template <class D>
void ActWhenModal(std::function<void(D&)> act)
{
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        if (D* dlg = dynamic_cast<D*>(CDialog::ActiveModal())) {
            poll->stop();
            poll->deleteLater();
            // Input reaches a window only once the platform shows it.
            EXPECT_TRUE(QTest::qWaitForWindowExposed(dlg));
            act(*dlg);
        }
    });
    poll->start();
}

// The window as the screen shows it (pixels outside its shape transparent),
// saved as <build>/screenshots/<name>.png.
inline QImage Screenshot(QWidget& window, const QString& name)
{
    QImage image = window.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    if (!window.mask().isEmpty()) {
        QImage cut(image.size(), QImage::Format_ARGB32);
        cut.setDevicePixelRatio(image.devicePixelRatio()); // the mask is in window pixels
        cut.fill(Qt::transparent);
        QPainter painter(&cut);
        painter.setClipRegion(window.mask());
        painter.drawImage(0, 0, image);
        painter.end();
        image = cut;
    }
    const QString folder = QStringLiteral(ORVIK_BINARY_DIR "/screenshots");
    QDir().mkpath(folder);
    EXPECT_TRUE(image.save(folder + QLatin1Char('/') + name + QStringLiteral(".png")));
    return image;
}

} // namespace dialogtest
