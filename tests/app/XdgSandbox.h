#pragma once

// A private desktop for link tests: temporary XDG configuration and data
// folders (so only the entries a test installs exist), a bin folder in front of
// PATH, and a recorder program that writes its arguments to a file. Restores
// the environment when it goes.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

class XdgSandbox {
public:
    XdgSandbox()
    {
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "XDG_DATA_HOME", "XDG_DATA_DIRS",
                                 "XDG_CURRENT_DESKTOP", "PATH"})
            m_saved.insert(name, qgetenv(name));
        for (const char* sub : {"config", "etc", "data/applications", "share/applications", "bin"})
            QDir().mkpath(Path(sub));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(Path("config")));
        qputenv("XDG_CONFIG_DIRS", QFile::encodeName(Path("etc")));
        qputenv("XDG_DATA_HOME", QFile::encodeName(Path("data")));
        qputenv("XDG_DATA_DIRS", QFile::encodeName(Path("share")));
        qunsetenv("XDG_CURRENT_DESKTOP");
        qputenv("PATH", QFile::encodeName(Path("bin")) + ':' + m_saved.value("PATH"));
    }
    ~XdgSandbox()
    {
        for (auto it = m_saved.cbegin(); it != m_saved.cend(); ++it) {
            if (it.value().isNull())
                qunsetenv(it.key().constData());
            else
                qputenv(it.key().constData(), it.value());
        }
    }

    QString Path(const QString& relative) const { return m_dir.path() + QLatin1Char('/') + relative; }

    void Write(const QString& relative, const QByteArray& text, bool executable = false) const
    {
        QDir().mkpath(QFileInfo(Path(relative)).path());
        QFile file(Path(relative));
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(text);
        file.close();
        if (executable)
            file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // A desktop entry under the data home (or another applications folder).
    void InstallEntry(const QString& id, const QString& exec, const QString& folder = "data/applications") const
    {
        Write(folder + QLatin1Char('/') + id,
              "[Desktop Entry]\nType=Application\nName=Test browser\nExec[de]=wrong\nExec=" + exec.toUtf8()
                  + "\n\n[Desktop Action x]\nExec=wrong too\n");
    }

    void SetDefault(const QString& listPath, const QString& ids, const QString& mime = "text/html") const
    {
        Write(listPath, "[Added Associations]\n" + mime.toUtf8() + "=wrong.desktop;\n[Default Applications]\n"
                            + mime.toUtf8() + "=" + ids.toUtf8() + "\n");
    }

    // A program that records its arguments, one a line, into recorded.txt.
    QString Recorder() const
    {
        const QString out = Path("recorded.txt");
        Write("bin/recorder",
              "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" + out.toUtf8() + ".tmp'\n"
              "/bin/mv '" + out.toUtf8() + ".tmp' '" + out.toUtf8() + "'\n",
              true);
        return Path("bin/recorder");
    }

    // The recorder's arguments once it has run (empty if it never does).
    QStringList Recorded() const
    {
        const QString path = Path("recorded.txt");
        (void)QTest::qWaitFor([&] { return QFile::exists(path); }, 20000);
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        return lines;
    }

    // An xdg-open in front of PATH that ends with `status`.
    void FailingXdgOpen(int status) const
    {
        Write("bin/xdg-open", "#!/bin/sh\nexit " + QByteArray::number(status) + "\n", true);
    }

private:
    QTemporaryDir m_dir;
    QMap<QByteArray, QByteArray> m_saved;
};
