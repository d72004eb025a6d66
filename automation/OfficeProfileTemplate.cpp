#include "automation/OfficeProfileTemplate.h"

#include "automation/OfficeProcess.h"
#include "platform/StaleRunFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/configuration/theDefaultProvider.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/container/XNameReplace.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/util/XChangesBatch.hpp>

#include <functional>
#include <mutex>

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* kVersionFile = "office-version";
// Raised whenever the way a template is made changes, so that older ones are made again.
constexpr const char* kTemplateRevision = "template 2\n";
const QString kVersionSource = QStringLiteral(ORVIK_OFFICE_PROGRAM_DIR "/versionrc");
std::mutex g_buildMutex;

// Without a home folder (HOME unset, as for some services) the user's cache
// would be put at the root of the file system: a private folder in the
// temporary folder serves instead.
QString CacheFolder()
{
    const QString xdg = qEnvironmentVariable("XDG_CACHE_HOME");
    const QString home = qEnvironmentVariable("HOME");
    const bool ownCache = QDir::isAbsolutePath(xdg) && xdg != QLatin1String("/");
    const bool ownHome = QDir::isAbsolutePath(home) && QDir::cleanPath(home) != QLatin1String("/");
    if (ownCache || ownHome)
        return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
               + QStringLiteral("/orvik-excel-to-pdf");
    return QDir::tempPath() + QStringLiteral("/orvik-excel-to-pdf-%1").arg(::getuid());
}

// The cache folder exists, is a folder of this user's own (not a link), and only they may enter it.
bool MakePrivateFolder(const QString& folder)
{
    QDir().mkpath(folder);
    struct stat st {};
    if (::lstat(QFile::encodeName(folder).constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid())
        return false;
    return QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

QByteArray OfficeVersion()
{
    QFile f(kVersionSource);
    return (f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("unknown")) + kTemplateRevision;
}

// Changes one group of the office's configuration and commits it.
void SetConfiguration(const css::uno::Reference<css::uno::XComponentContext>& context, const char* group,
                      const std::function<void(const css::uno::Reference<css::container::XNameAccess>&)>& change)
{
    using css::uno::Reference;
    const auto provider = css::configuration::theDefaultProvider::get(context);
    css::uno::Sequence<css::uno::Any> args(1);
    args.getArray()[0] <<= UnoRuntime::Property("nodepath", css::uno::Any(OUString::createFromAscii(group)));
    Reference<css::container::XNameAccess> access(
        provider->createInstanceWithArguments("com.sun.star.configuration.ConfigurationUpdateAccess", args),
        css::uno::UNO_QUERY_THROW);
    change(access);
    Reference<css::util::XChangesBatch>(access, css::uno::UNO_QUERY_THROW)->commitChanges();
}

} // namespace

QString OfficeProfileTemplate::Folder()
{
    return CacheFolder() + QStringLiteral("/profile-template");
}

bool OfficeProfileTemplate::IsCurrent(const QString& folder)
{
    QFile stamp(folder + QLatin1Char('/') + QLatin1String(kVersionFile));
    return QFileInfo::exists(folder + QStringLiteral("/user/registrymodifications.xcu"))
           && stamp.open(QIODevice::ReadOnly) && stamp.readAll() == OfficeVersion();
}

bool OfficeProfileTemplate::Ensure(const OfficeOptions& options, QString* error)
{
    std::lock_guard lock(g_buildMutex);
    if (IsCurrent(Folder()))
        return true;
    const QString cache = CacheFolder();
    if (!MakePrivateFolder(cache)) {
        if (error)
            *error = QStringLiteral("The folder \"%1\" could not be created.").arg(cache);
        return false;
    }
    StaleRunFiles::SweepFolders(cache, QStringLiteral("profile-building-")); // of killed runs
    return Build(cache, options, error);
}

bool OfficeProfileTemplate::Build(const QString& cacheFolder, const OfficeOptions& options, QString* error)
{
    // Built beside its final place and renamed into it, so that a half-made
    // template is never seen, also not by another program running at the same time.
    QTemporaryDir building(cacheFolder + QStringLiteral("/profile-building-") + StaleRunFiles::NamePart()
                           + QStringLiteral("XXXXXX"));
    if (!building.isValid()) {
        if (error)
            *error = QStringLiteral("A profile folder could not be created in \"%1\".").arg(cacheFolder);
        return false;
    }
    {
        OfficeOptions firstStart = options;
        OfficeProcess office(firstStart, building.path(), true);
        if (!office.Start(error) || !MarkFirstStartDone(office, error))
            return false;
        if (!office.Shutdown()) {
            if (error)
                *error = QStringLiteral("The spreadsheet application did not end after its first start.");
            return false;
        }
    }
    QFile stamp(building.path() + QLatin1Char('/') + QLatin1String(kVersionFile));
    if (!stamp.open(QIODevice::WriteOnly) || stamp.write(OfficeVersion()) < 0 || !stamp.flush()) {
        if (error)
            *error = QStringLiteral("The profile template could not be written.");
        return false;
    }
    stamp.close();
    const QString target = Folder();
    if (QFileInfo::exists(target)) {
        // Made by another office version (or another program won the race).
        if (IsCurrent(target))
            return true;
        QTemporaryDir old(cacheFolder + QStringLiteral("/profile-old-XXXXXX"));
        if (!old.isValid() || !QDir().rename(target, old.path() + QStringLiteral("/t")))
            return false;
    }
    if (QDir().rename(building.path(), target)) {
        building.setAutoRemove(false);
        return true;
    }
    return IsCurrent(target);
}

bool OfficeProfileTemplate::MarkFirstStartDone(OfficeProcess& office, QString* error)
{
    // A profile that has not recorded the office's version as the last one run
    // makes every start run the office's graphics self-checks (seconds of
    // drawing into large bitmaps) before it answers. A profile that only ever
    // ran headless never records it: it is recorded here once, for all copies.
    // The restart flag left by the first start is cleared as a finished restart clears it.
    try {
        office.Call(QStringLiteral("Profile"), [&] {
            const auto context = office.Context();
            SetConfiguration(context, "/org.openoffice.Setup/Product", [](const auto& product) {
                const css::uno::Any version = product->getByName("ooSetupVersion");
                css::uno::Reference<css::container::XNameReplace>(product, css::uno::UNO_QUERY_THROW)
                    ->replaceByName("ooSetupLastVersion", version);
            });
            SetConfiguration(context, "/org.openoffice.Setup/Office", [](const auto& setup) {
                css::uno::Reference<css::container::XNameReplace>(setup, css::uno::UNO_QUERY_THROW)
                    ->replaceByName("OfficeRestartInProgress", css::uno::Any(false));
            });
        });
    } catch (const DispatchException& e) {
        if (error)
            *error = QStringLiteral("The profile template could not be prepared: %1").arg(e.Message());
        return false;
    }
    return true;
}

std::unique_ptr<QTemporaryDir> OfficeProfileTemplate::NewProfileFolder(bool* fromTemplate)
{
    *fromTemplate = false;
    auto folder = std::make_unique<QTemporaryDir>(NewFolderPattern());
    if (!folder->isValid())
        return {};
    const QString source = Folder();
    if (IsCurrent(source) && CopyTree(source + QStringLiteral("/user"), folder->path() + QStringLiteral("/user")))
        *fromTemplate = true;
    else
        QDir(folder->path() + QStringLiteral("/user")).removeRecursively();
    return folder;
}

QString OfficeProfileTemplate::NewFolderPattern()
{
    return QDir::tempPath() + QStringLiteral("/orvik-office-") + StaleRunFiles::NamePart() + QStringLiteral("XXXXXX");
}

bool OfficeProfileTemplate::CopyTree(const QString& from, const QString& to)
{
    if (!QDir().mkpath(to))
        return false;
    QDirIterator it(from, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    const QDir source(from);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        const QString target = to + QLatin1Char('/') + source.relativeFilePath(path);
        if (info.isSymLink())
            continue;
        if (info.isDir() ? !QDir().mkpath(target) : !QFile::copy(path, target))
            return false;
    }
    return true;
}
