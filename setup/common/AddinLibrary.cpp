#include "setup/common/AddinLibrary.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdint>
#include <dlfcn.h>

bool CAddinLibrary::Call(const QString& folder, const char* entryPoint, QString* message)
{
    const QString path = QDir(folder).absoluteFilePath(QLatin1String(kFileName));
    if (!QFileInfo(path).isFile()) {
        *message = QStringLiteral("The add-in library %1 was not found, so %2 was not called.")
                       .arg(path, QLatin1String(entryPoint));
        return false;
    }
    void* library = ::dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        *message = QStringLiteral("The add-in library %1 could not be loaded: %2")
                       .arg(path, QString::fromLocal8Bit(::dlerror()));
        return false;
    }
    using EntryPoint = int32_t (*)();
    auto call = reinterpret_cast<EntryPoint>(::dlsym(library, entryPoint));
    bool done = false;
    if (!call) {
        *message = QStringLiteral("The add-in library %1 has no entry point %2.").arg(path, QLatin1String(entryPoint));
    } else {
        const auto result = static_cast<uint32_t>(call());
        done = result == 0;
        if (!done)
            *message = QStringLiteral("%1 of the add-in library %2 failed (0x%3).")
                           .arg(QLatin1String(entryPoint), path)
                           .arg(result, 8, 16, QLatin1Char('0'));
    }
    ::dlclose(library);
    return done;
}
