// Paints the program's artwork: the window backgrounds, the progress bar
// pieces, the settings tabs, the button strips and the application icon, and
// writes them below res/ with the resource collection that embeds them.
//
//   orvik_artwork <res folder> [--preview <folder>]
//
// --preview also writes a contact sheet and each window put together, for a look.
#include "ArtKit.h"
#include "Catalogue.h"
#include "Preview.h"

#include <QDir>
#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        err << "usage: orvik_artwork <res folder> [--preview <folder>]\n";
        return 2;
    }
    const QString family = ArtKit::LoadFaces();
    QString error;
    if (!Catalogue::WriteAll(args.at(1), &error)) {
        err << "orvik_artwork: " << error << "\n";
        return 1;
    }
    QTextStream(stdout) << "artwork written below " << args.at(1) << " (face " << family << ")\n";

    const int at = args.indexOf(QStringLiteral("--preview"));
    if (at > 0 && at + 1 < args.size()) {
        const QDir out(args.at(at + 1));
        QDir().mkpath(out.path());
        const Preview preview(args.at(1));
        preview.ContactSheet().save(out.filePath(QStringLiteral("contact-sheet.png")));
        preview.Details().save(out.filePath(QStringLiteral("details.png")));
        const auto windows = preview.Windows();
        for (auto it = windows.begin(); it != windows.end(); ++it)
            it.value().save(out.filePath(QStringLiteral("window-%1.png").arg(it.key())));
        QTextStream(stdout) << "previews written to " << out.path() << "\n";
    }
    return 0;
}
