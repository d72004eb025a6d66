#pragma once

#include "automation/UnoRuntime.h"

#include <QString>

#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/uno/Reference.hxx>

#include <optional>

class ExcelWorkbook;
class OfficeProcess;

// Makes one sheet the active sheet of its document's view and prints it into
// a PDF print file through a named printer queue.
class SheetPrinter {
public:
    struct Job {
        std::optional<QString> printer; // none: the document's current printer
        QString file;
        int32_t copies = 1;
        std::optional<bool> collate;
        std::optional<int32_t> fromPage;
        std::optional<int32_t> toPage;
    };

    SheetPrinter(ExcelWorkbook& workbook, int32_t index, css::uno::Reference<css::sheet::XSpreadsheet> sheet);

    // Throws DispatchException when the view does not take the sheet.
    void Activate();
    // Activates the sheet and prints it into job.file, returning once the file is
    // a complete PDF. False, writing nothing, for a sheet with nothing to print
    // and for a hidden sheet. Any old file at job.file is removed first.
    bool Print(const Job& job);
    // False for a sheet the user hid.
    bool IsVisible();
    // The pages Print prints for the whole sheet, numbered as in a page range
    // (From/To); 0 for a hidden sheet and for one with nothing to print.
    int32_t PageCount();

    // True for a whole PDF: it starts with the header and ends with the
    // end-of-file marker (trailing blanks allowed).
    static bool IsCompletePdf(const QString& path);

private:
    bool IsActive();
    // Whether the view's active sheet is this one (asked without switching).
    bool ShowsThisSheet();
    bool StoredViewPending();
    void PrimeView();
    bool IsEmpty();
    void SelectPrinter(const QString& name);
    void PrintInto(const Job& job, const QString& file);
    void WaitForFile(const QString& file);

    ExcelWorkbook& m_workbook;
    OfficeProcess& m_office;
    css::uno::Reference<css::frame::XModel> m_xModel;
    int32_t m_nIndex;
    css::uno::Reference<css::sheet::XSpreadsheet> m_xSheet;
};
