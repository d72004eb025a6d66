#include "platform/FileManagerReveal.h"

#include "platform/LinkOpener.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QFileInfo>
#include <QMetaObject>
#include <QStringList>
#include <QThread>
#include <QUrl>

#include <thread>

namespace {

QString& BusAddressSetting()
{
    static QString address; // window thread only
    return address;
}

void Tell(const CFileManagerReveal::Done& done, CFileManagerReveal::Outcome outcome)
{
    if (done)
        done(outcome);
}

void OpenFolder(const QString& folder, const CFileManagerReveal::Done& done)
{
    const int started = CLinkOpener::StartDetached({QStringLiteral("xdg-open"), folder});
    Tell(done, started > 32 ? CFileManagerReveal::Outcome::FolderOpened : CFileManagerReveal::Outcome::NothingOpened);
}

// Runs on the window thread (the application object's thread).
void OnWindowThread(std::function<void()> work)
{
    if (QCoreApplication* app = QCoreApplication::instance())
        QMetaObject::invokeMethod(app, std::move(work), Qt::QueuedConnection);
}

// Connecting waits for the bus's greeting, so it is done off the window thread.
QDBusConnection Connect(const QString& address)
{
    if (address.isEmpty())
        return QDBusConnection::sessionBus();
    const QString name = QStringLiteral("orvik_reveal ") + address;
    QDBusConnection bus = QDBusConnection::connectToBus(address, name);
    if (!bus.isConnected())
        QDBusConnection::disconnectFromBus(name); // the next request tries again
    return bus;
}

// Window thread: sends the request and handles the answer when it comes.
void AskFileManager(const QDBusConnection& bus, const QString& path, const CFileManagerReveal::Done& done)
{
    const QString folder = CFileManagerReveal::FolderOf(path);
    if (!bus.isConnected()) {
        OpenFolder(folder, done);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(CFileManagerReveal::kService),
                                                       QString::fromLatin1(CFileManagerReveal::kObjectPath),
                                                       QString::fromLatin1(CFileManagerReveal::kInterface),
                                                       QStringLiteral("ShowItems"));
    call << QStringList{CFileManagerReveal::FileUri(path)} << QString(); // no startup id
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), QCoreApplication::instance());
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [folder, done](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        if (w->isError())
            OpenFolder(folder, done);
        else
            Tell(done, CFileManagerReveal::Outcome::Shown);
    });
}

} // namespace

void CFileManagerReveal::ShowItem(const QString& filePath, Done done)
{
    Q_ASSERT(!QCoreApplication::instance() || QThread::currentThread() == QCoreApplication::instance()->thread());
    const QString path = QFileInfo(filePath).absoluteFilePath();
    if (!QFileInfo(path).isFile()) {
        const QString folder = FolderOf(path);
        OnWindowThread([folder, done] { OpenFolder(folder, done); });
        return;
    }
    std::thread([address = BusAddress(), path, done] {
        const QDBusConnection bus = Connect(address);
        OnWindowThread([bus, path, done] { AskFileManager(bus, path, done); });
    }).detach();
}

void CFileManagerReveal::SetBusAddress(const QString& address) { BusAddressSetting() = address; }

QString CFileManagerReveal::BusAddress() { return BusAddressSetting(); }

QString CFileManagerReveal::FileUri(const QString& filePath)
{
    return QUrl::fromLocalFile(QFileInfo(filePath).absoluteFilePath()).toString(QUrl::FullyEncoded);
}

QString CFileManagerReveal::FolderOf(const QString& filePath)
{
    const QString path = QFileInfo(filePath).absoluteFilePath();
    return path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
}
