#include "automation/SheetPrinter.h"

#include "automation/ExcelAppContext.h"
#include "automation/ExcelWorkbook.h"
#include "automation/OfficeProcess.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/view/XPrintable.hpp>
#include <com/sun/star/view/XRenderable.hpp>

#include <chrono>
#include <thread>
#include <vector>

using css::uno::Any;
using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;

namespace {

css::uno::Sequence<css::beans::PropertyValue> Sequence(const std::vector<css::beans::PropertyValue>& props)
{
    return css::uno::Sequence<css::beans::PropertyValue>(props.data(), static_cast<sal_Int32>(props.size()));
}

} // namespace

SheetPrinter::SheetPrinter(ExcelWorkbook& workbook, int32_t index, Reference<css::sheet::XSpreadsheet> sheet)
    : m_workbook(workbook),
      m_office(workbook.Office()),
      m_xModel(workbook.Model()),
      m_nIndex(index),
      m_xSheet(std::move(sheet))
{
}

bool SheetPrinter::IsActive()
{
    return m_office.Call(QStringLiteral("Activate"), [&] {
        Reference<css::sheet::XSpreadsheetView> view(m_xModel->getCurrentController(), UNO_QUERY_THROW);
        view->setActiveSheet(m_xSheet);
        Reference<css::sheet::XCellRangeAddressable> active(view->getActiveSheet(), UNO_QUERY_THROW);
        return active->getRangeAddress().Sheet == m_nIndex;
    });
}

void SheetPrinter::Activate()
{
    // Made active since the last print (e.g. before its pages were counted): still active.
    if (m_workbook.KnownActiveSheet() == m_nIndex)
        return;
    // The first print is checked instead of primed for: it shows whether the stored view took over.
    if (m_workbook.TakeFirstActivation() && StoredViewPending())
        m_workbook.SetViewUnsettled();
    if (!IsActive()) {
        // With form controls a view may refuse to switch sheets until it has printed once.
        PrimeView();
        if (!IsActive())
            throw DispatchException(DISP_E_EXCEPTION,
                                    QStringLiteral("Sheet %1 could not be made the active sheet.").arg(m_nIndex + 1));
    }
    m_workbook.SetKnownActiveSheet(m_nIndex);
}

bool SheetPrinter::StoredViewPending()
{
    // A hidden document loaded from a binary Excel file applies the view
    // settings stored in it (its active sheet) only when it first prints,
    // switching sheets behind our back: that print is of the stored sheet
    // unless it is the one asked for, so it is checked and, if need be, done
    // again. (Asking the view for its selected sheets applies them as well,
    // but can crash the office when the workbook has form controls.) Other
    // formats apply them while loading, and with one sheet the stored active
    // sheet can only be the one to print.
    return m_office.Call(QStringLiteral("Activate"), [&] {
        Reference<css::container::XIndexAccess> sheets(
            Reference<css::sheet::XSpreadsheetDocument>(m_xModel, UNO_QUERY_THROW)->getSheets(), UNO_QUERY_THROW);
        if (sheets->getCount() < 2)
            return false;
        for (const css::beans::PropertyValue& arg : m_xModel->getArgs()) {
            OUString filter;
            if (arg.Name == "FilterName" && (arg.Value >>= filter))
                return filter.startsWith("MS Excel ") && filter.indexOf("XML") < 0;
        }
        return false;
    });
}

void SheetPrinter::PrimeView()
{
    const QString scratch = m_workbook.Context().ScratchFolder() + QStringLiteral("/prime.pdf");
    Job job;
    job.fromPage = 1;
    job.toPage = 1;
    PrintInto(job, scratch);
    QFile::remove(scratch);
}

bool SheetPrinter::IsVisible()
{
    ExcelWorkbook::SheetFacts facts = m_workbook.KnownFacts(m_nIndex);
    if (facts.visible)
        return *facts.visible;
    facts.visible = m_office.Call(QStringLiteral("Visible"), [&] {
        bool visible = true;
        Reference<css::beans::XPropertySet>(m_xSheet, UNO_QUERY_THROW)->getPropertyValue("IsVisible") >>= visible;
        return visible;
    });
    m_workbook.SetKnownFacts(m_nIndex, facts);
    return *facts.visible;
}

int32_t SheetPrinter::PageCount()
{
    if (!IsVisible() || IsEmpty())
        return 0;
    // The same selection and options as IsEmpty: the office keeps the sheet's
    // pagination from that call, so counting costs no second layout.
    return m_office.Call(QStringLiteral("PageCount"), [&] {
        Reference<css::view::XRenderable> renderable(m_xModel, UNO_QUERY_THROW);
        return renderable->getRendererCount(Any(m_xSheet), Sequence({UnoRuntime::Property("PrintRange", Any(sal_Int32(1)))}));
    });
}

bool SheetPrinter::IsEmpty()
{
    // Asked already since the last print (e.g. when its pages were counted).
    ExcelWorkbook::SheetFacts facts = m_workbook.KnownFacts(m_nIndex);
    if (facts.empty)
        return *facts.empty;
    // The office's own page count of the sheet alone: asked for page 1, it
    // describes a real page only when the sheet has one.
    const bool empty = m_office.Call(QStringLiteral("PrintOut"), [&] {
        Reference<css::view::XRenderable> renderable(m_xModel, UNO_QUERY_THROW);
        const auto page = renderable->getRenderer(
            0, Any(m_xSheet),
            Sequence({UnoRuntime::Property("PrintRange", Any(sal_Int32(1))), UnoRuntime::Property("PageRange", Any(OUString("1")))}));
        for (const css::beans::PropertyValue& p : page)
            if (p.Name == "PageIncludesNonprintableArea")
                return false;
        return true;
    });
    facts.empty = empty;
    m_workbook.SetKnownFacts(m_nIndex, facts);
    return empty;
}

void SheetPrinter::SelectPrinter(const QString& name)
{
    const QString taken = m_office.Call(QStringLiteral("PrintOut"), [&] {
        Reference<css::view::XPrintable> printable(m_xModel, UNO_QUERY_THROW);
        printable->setPrinter(Sequence({UnoRuntime::Property("Name", Any(UnoRuntime::ToOU(name)))}));
        OUString current;
        for (const css::beans::PropertyValue& p : printable->getPrinter())
            if (p.Name == "Name")
                p.Value >>= current;
        return UnoRuntime::ToQ(current);
    });
    // An unknown queue is silently ignored by the office, which keeps another printer.
    if (taken != name)
        throw DispatchException(DISP_E_EXCEPTION,
                                QStringLiteral("The printer \"%1\" is not available to the spreadsheet application.")
                                    .arg(name));
}

void SheetPrinter::PrintInto(const Job& job, const QString& file)
{
    std::vector<css::beans::PropertyValue> props{
        UnoRuntime::Property("FileName", Any(UnoRuntime::ToOU(QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded)))),
        UnoRuntime::Property("Wait", Any(true)),
        UnoRuntime::Property("CopyCount", Any(sal_Int16(job.copies))),
    };
    if (job.collate)
        props.push_back(UnoRuntime::Property("Collate", Any(*job.collate)));
    if (job.fromPage || job.toPage)
        props.push_back(UnoRuntime::Property("Pages", Any(UnoRuntime::ToOU(QStringLiteral("%1-%2")
                                                                   .arg(job.fromPage.value_or(1))
                                                                   .arg(job.toPage.value_or(32767))))));
    const auto args = Sequence(props);
    m_workbook.ForgetView();
    m_office.Call(QStringLiteral("PrintOut"), [&] {
        Reference<css::view::XPrintable>(m_xModel, UNO_QUERY_THROW)->print(args);
    });
}

bool SheetPrinter::Print(const Job& job)
{
    if (!QFileInfo(job.file).absoluteDir().exists())
        throw DispatchException(DISP_E_EXCEPTION,
                                QStringLiteral("The folder of the print file \"%1\" does not exist.").arg(job.file));
    if (QFileInfo::exists(job.file) && !QFile::remove(job.file))
        throw DispatchException(DISP_E_EXCEPTION,
                                QStringLiteral("The old print file \"%1\" could not be removed.").arg(job.file));
    // A hidden sheet cannot be made the active one, and is left out as the
    // office's own export leaves it out.
    if (!IsVisible())
        return false;
    Activate();
    if (IsEmpty())
        return false;
    if (job.printer && m_workbook.SelectedPrinter() != *job.printer) {
        SelectPrinter(*job.printer);
        m_workbook.SetSelectedPrinter(*job.printer);
    }
    PrintInto(job, job.file);
    WaitForFile(job.file);
    if (m_workbook.TakeViewUnsettled() && !ShowsThisSheet()) {
        // The stored view took over during this first print: once more, on this sheet.
        QFile::remove(job.file);
        Activate();
        PrintInto(job, job.file);
        WaitForFile(job.file);
    }
    return true;
}

bool SheetPrinter::ShowsThisSheet()
{
    return m_office.Call(QStringLiteral("Activate"), [&] {
        Reference<css::sheet::XSpreadsheetView> view(m_xModel->getCurrentController(), UNO_QUERY_THROW);
        Reference<css::sheet::XCellRangeAddressable> active(view->getActiveSheet(), UNO_QUERY_THROW);
        return active->getRangeAddress().Sheet == m_nIndex;
    });
}

void SheetPrinter::WaitForFile(const QString& file)
{
    using namespace std::chrono;
    // The office has finished printing (Wait); what is left is the file system
    // catching up, which never takes long.
    const auto deadline = steady_clock::now() + std::min<milliseconds>(m_office.Options().callTimeout, seconds(30));
    while (!IsCompletePdf(file)) {
        if (!m_office.Alive())
            throw DispatchException(E_FAIL, OfficeProcess::EndedMessage());
        if (steady_clock::now() >= deadline)
            throw DispatchException(DISP_E_EXCEPTION,
                                    QStringLiteral("The print file \"%1\" was not completed.").arg(file));
        std::this_thread::sleep_for(milliseconds(20));
    }
}

bool SheetPrinter::IsCompletePdf(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || f.size() < 16 || !f.read(5).startsWith("%PDF-"))
        return false;
    const qint64 tail = std::min<qint64>(f.size(), 1024);
    f.seek(f.size() - tail);
    return f.read(tail).trimmed().endsWith("%%EOF");
}
