// Prints the shared sample workbooks through "Excel.Application" and reports
// the time of each step: office start (fresh profile and template copy), and
// per workbook open, each sheet's Activate + PrintOut, close.
//   orvik_bench_office [--keep FOLDER] [--own-office] WORKBOOK...
#include "automation/Dispatch.h"
#include "automation/OfficeServer.h"
#include "automation/OfficeSession.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

namespace {

std::vector<Variant> OpenArgs(const QString& path)
{
    const Variant omitted = Variant::Omitted();
    return {Variant::String(path), Variant::Long(0), Variant::Short(1), omitted, Variant::String("1"), omitted,
            Variant::Short(1), omitted, omitted, Variant::Short(0), Variant::Short(0), omitted, Variant::Short(0)};
}

std::vector<Variant> PrintArgs(const QString& file)
{
    const Variant omitted = Variant::Omitted();
    return {omitted, omitted, Variant::Long(1), Variant::Short(0), Variant::String("OrvikExcelToPDF"),
            omitted, omitted, Variant::String(file)};
}

double Ms(QElapsedTimer& t)
{
    return t.nsecsElapsed() / 1e6;
}

bool PrintWorkbook(const QString& path, const QString& folder, int index)
{
    QElapsedTimer total;
    total.start();
    QString error;
    CDispatchDriver app(DispatchRegistry::Create(QStringLiteral("Excel.Application"), &error));
    if (!app.IsAttached()) {
        std::printf("  cannot create Excel.Application: %s\n", qPrintable(error));
        return false;
    }
    const double createMs = Ms(total);
    try {
        app.SetProperty(558, Variant::Bool(false));
        CDispatchDriver books(app.GetObjectProperty(572));
        QElapsedTimer t;
        t.start();
        CDispatchDriver book(books.InvokeHelper(682, DISPATCH_METHOD, OpenArgs(path)).pdispVal);
        const double openMs = Ms(t);
        CDispatchDriver sheets(book.GetObjectProperty(485));
        const int count = sheets.GetProperty(118).lVal;
        std::printf("%-32s create %7.1f ms  open %7.1f ms  %d sheets\n", qPrintable(QFileInfo(path).fileName()),
                    createMs, openMs, count);
        for (int i = 1; i <= count; ++i) {
            t.restart();
            CDispatchDriver sheet(sheets.GetObjectProperty(170, {Variant::Short(static_cast<int16_t>(i))}));
            sheet.InvokeHelper(304, DISPATCH_METHOD);
            const QString file = QStringLiteral("%1/wb%2_tmp_%3.pdf").arg(folder).arg(index).arg(i);
            const bool printed = sheet.InvokeHelper(1772, DISPATCH_METHOD, PrintArgs(file)).boolVal;
            std::printf("    sheet %d  %7.1f ms  %s\n", i, Ms(t), printed ? qPrintable(file) : "(empty, no file)");
        }
        t.restart();
        book.InvokeHelper(277, DISPATCH_METHOD, {Variant::Short(0), Variant::Short(0), Variant::Short(0)});
        app.InvokeHelper(302, DISPATCH_METHOD);
        std::printf("    close+quit %7.1f ms   workbook total %7.1f ms\n", Ms(t), Ms(total));
        return true;
    } catch (const DispatchException& e) {
        std::printf("  failed after %.1f ms: %s\n", Ms(total), qPrintable(e.Message()));
        return false;
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication qapp(argc, argv);
    QStringList args = qapp.arguments().mid(1);
    QString keep;
    bool ownOffice = false;
    if (args.size() >= 2 && args.first() == QLatin1String("--keep")) {
        keep = args.at(1);
        args = args.mid(2);
    }
    if (!args.isEmpty() && args.first() == QLatin1String("--own-office")) {
        ownOffice = true;
        args = args.mid(1);
    }
    QTemporaryDir tmp;
    const QString folder = keep.isEmpty() ? tmp.path() : keep;
    QDir().mkpath(folder);
    RegisterOfficeServer();

    QElapsedTimer all;
    all.start();
    int failures = 0;
    {
        std::unique_ptr<OfficeSession> session;
        if (!ownOffice)
            session = std::make_unique<OfficeSession>();
        int index = 0;
        for (const QString& path : args)
            failures += PrintWorkbook(path, folder, ++index) ? 0 : 1;
    }
    std::printf("%lld workbooks in %.1f ms (%s), %d failed\n", static_cast<long long>(args.size()), Ms(all),
                ownOffice ? "an office per workbook" : "one office for the run", failures);
    return failures == 0 ? 0 : 1;
}
