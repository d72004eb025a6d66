#pragma once

// Stand-ins for the desktop, for tests of what the program asks it to open:
// a private session bus (a dbus-daemon of the test's own, nothing activatable
// on it), a file manager on that bus that records the ShowItems calls it gets,
// and an xdg-open in front of PATH that records its arguments.
#include "app/XdgSandbox.h"
#include "platform/FileManagerReveal.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QDir>
#include <QFile>
#include <QList>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <mutex>

namespace desktoptest {

// A dbus-daemon of its own, ended with the object.
class PrivateBus {
public:
    PrivateBus()
    {
        const QString config = m_dir.filePath(QStringLiteral("bus.conf"));
        QFile file(config);
        file.open(QIODevice::WriteOnly);
        file.write("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                   " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                   "<busconfig><type>session</type><listen>unix:dir="
                   + QFile::encodeName(m_dir.path())
                   + "</listen><auth>EXTERNAL</auth>\n"
                     "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                     "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n");
        file.close();
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                        QStringLiteral("--print-address")});
        while (!m_daemon.canReadLine() && m_daemon.waitForReadyRead(10000)) {
        }
        m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    }
    ~PrivateBus()
    {
        m_daemon.terminate();
        m_daemon.waitForFinished(5000);
    }
    bool IsRunning() const { return !m_address.isEmpty(); }
    QString Address() const { return m_address; }

private:
    QTemporaryDir m_dir;
    QProcess m_daemon;
    QString m_address;
};

// org.freedesktop.FileManager1 on a bus: records each ShowItems call and
// answers it at once, with an error, or only when the test releases it.
class FakeFileManager : public QDBusVirtualObject {
public:
    enum class Answer { Reply, Error, Hold };

    explicit FakeFileManager(const QString& address)
        : m_name(QStringLiteral("fake file manager %1").arg(++s_count))
        , m_bus(QDBusConnection::connectToBus(address, m_name))
    {
        m_registered = m_bus.registerVirtualObject(QString::fromLatin1(CFileManagerReveal::kObjectPath), this)
            && m_bus.registerService(QString::fromLatin1(CFileManagerReveal::kService));
    }
    ~FakeFileManager() override
    {
        m_bus.unregisterService(QString::fromLatin1(CFileManagerReveal::kService));
        m_bus.unregisterObject(QString::fromLatin1(CFileManagerReveal::kObjectPath));
        QDBusConnection::disconnectFromBus(m_name);
    }

    bool IsRegistered() const { return m_registered; }
    void SetAnswer(Answer answer) { m_answer = answer; }

    // The calls received so far, waiting (up to 20 s) until there are count.
    QList<QDBusMessage> Calls(int count = 1) const
    {
        (void)QTest::qWaitFor([&] { return Snapshot().size() >= count; }, 20000);
        return Snapshot();
    }
    QList<QDBusMessage> Snapshot() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_calls;
    }
    // Answers the held calls.
    void Release()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const QDBusMessage& call : std::as_const(m_held))
            m_bus.send(call.createReply());
        m_held.clear();
    }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        if (message.member() != QLatin1String("ShowItems"))
            return false;
        std::lock_guard<std::mutex> lock(m_mutex);
        m_calls << message;
        if (m_answer == Answer::Hold)
            m_held << message;
        else if (m_answer == Answer::Error)
            connection.send(message.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.Failed"),
                                                     QStringLiteral("no window")));
        else
            connection.send(message.createReply());
        return true;
    }
    QString introspect(const QString&) const override
    {
        return QStringLiteral("<interface name=\"org.freedesktop.FileManager1\"><method name=\"ShowItems\">"
                              "<arg type=\"as\" direction=\"in\"/><arg type=\"s\" direction=\"in\"/>"
                              "</method></interface>");
    }

private:
    static inline std::atomic<int> s_count{0};
    QString m_name;
    QDBusConnection m_bus;
    bool m_registered = false;
    std::atomic<Answer> m_answer{Answer::Reply};
    mutable std::mutex m_mutex;
    QList<QDBusMessage> m_calls;
    QList<QDBusMessage> m_held;
};

// The URIs of a ShowItems call, and its startup id.
inline QStringList UrisOf(const QDBusMessage& call)
{
    return call.arguments().value(0).toStringList();
}
inline QString StartupIdOf(const QDBusMessage& call)
{
    return call.arguments().value(1).toString();
}

// An xdg-open first on PATH that records each call's arguments. While held it
// waits (at most 30 s) before recording.
class RecordingXdgOpen {
public:
    RecordingXdgOpen()
    {
        QDir().mkpath(m_box.Path("calls"));
        const QByteArray calls = QFile::encodeName(m_box.Path("calls"));
        const QByteArray hold = QFile::encodeName(m_box.Path("hold"));
        m_box.Write("bin/xdg-open",
                    "#!/bin/sh\ni=0\nwhile [ -e '" + hold + "' ] && [ $i -lt 600 ]; do sleep 0.05; i=$((i+1)); done\n"
                    "n=$(date +%s%N)-$$\n"
                    "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" + calls + "/'$n.tmp\n"
                    "mv '" + calls + "/'$n.tmp '" + calls + "/'$n.call\n",
                    true);
    }

    // The private desktop the recorder sits in, where a test registers programs.
    const XdgSandbox& Desktop() const { return m_box; }

    void Hold() { m_box.Write("hold", ""); }
    void Release() { QFile::remove(m_box.Path("hold")); }

    // Each call's arguments in the order made, waiting (up to 20 s) until there are count.
    QList<QStringList> Calls(int count = 1) const
    {
        (void)QTest::qWaitFor([&] { return Snapshot().size() >= count; }, 20000);
        return Snapshot();
    }
    QList<QStringList> Snapshot() const
    {
        QList<QStringList> calls;
        const QDir dir(m_box.Path("calls"));
        for (const QString& name : dir.entryList({QStringLiteral("*.call")}, QDir::Files, QDir::Name)) {
            QFile file(dir.filePath(name));
            file.open(QIODevice::ReadOnly);
            QStringList args = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
            args.removeLast(); // after the last newline
            calls << args;
        }
        return calls;
    }

private:
    XdgSandbox m_box;
};

} // namespace desktoptest
