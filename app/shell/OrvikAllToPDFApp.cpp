#include "app/shell/OrvikAllToPDFApp.h"

#include "app/ProductInfo.h"
#include "app/shell/OrvikAllToPDFDlg.h"
#include "automation/OfficeServer.h"
#include "framework/MainWnd.h"
#include "platform/SingleInstance.h"
#include "res/Resources.h"
#include "skin/TahomaFace.h"

#include <QIcon>
#include <QPixmap>
#include <QStyleFactory>

COrvikAllToPDFApp::COrvikAllToPDFApp(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QString::fromLatin1(kAppName));
    setApplicationDisplayName(QString::fromLatin1(ProductInfo::kProductName));
    setDesktopFileName(QString::fromLatin1(kDesktopId));
    QPixmap icon;
    icon.loadFromData(Resources::Icon(COrvikAllToPDFDlg::kIcon), "PNG");
    setWindowIcon(QIcon(icon));
    // One look on every desktop; the windows are skinned anyway.
    setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    InstallTahomaFace();
    RegisterOfficeServer();
    // The program ends with the main window's run, not with its last window.
    setQuitOnLastWindowClosed(false);
}

int COrvikAllToPDFApp::RunMainWindow()
{
    {
        COrvikAllToPDFDlg dlg;
        AfxSetMainWnd(&dlg);
        dlg.RunModeless();
        AfxSetMainWnd(nullptr);
    } // the page stops a run and removes its files here, serving events meanwhile
    return 0;
}

void COrvikAllToPDFApp::ChoosePlatform()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

int COrvikAllToPDFApp::Main(int argc, char** argv)
{
    ChoosePlatform();
    // Held until the process ends; a folder or file that cannot be used lets
    // the program start anyway.
    CSingleInstance instance;
    if (instance.Acquire() == CSingleInstance::Result::AlreadyRunning)
        return 0;
    COrvikAllToPDFApp app(argc, argv);
    return app.InitInstance();
}
