#pragma once

// Helpers for the tests of the server behind "Excel.Application": argument
// lists as the engine sends them, the office processes this test started, and
// the text of a print file.
#include "automation/Dispatch.h"
#include "support/RealTools.h"

#include <QString>
#include <QStringList>

#include <sys/types.h>
#include <vector>

namespace officetest {

constexpr const char* kQueue = "OrvikExcelToPDF";
constexpr const char* kPlaceholderPassword = "1";

QString TestData(const QString& name);
bool OfficeInstalled();
bool QueueInstalled();

std::vector<Variant> OpenArgs(const QString& path, const QString& password = QString::fromLatin1(kPlaceholderPassword));
std::vector<Variant> PrintOutArgs(const QString& file, const QString& printer = QString::fromLatin1(kQueue));
std::vector<Variant> CloseArgs();

// Live (not zombie) office processes whose parent is this test program.
std::vector<pid_t> OfficeChildren();
// The text pdftotext finds in a PDF (empty when it cannot read it).
QString PdfText(const QString& path);
bool IsWholePdf(const QString& path);

// An application with one workbook open: every driver of the road to a sheet.
struct OpenWorkbook {
    CDispatchDriver app;
    CDispatchDriver books;
    CDispatchDriver book;
    CDispatchDriver sheets;
    int32_t count = 0;
    CDispatchDriver Sheet(int index);
    // Activate and PrintOut; the PrintOut result (false: empty sheet, no file).
    bool Print(int index, const QString& file, const QString& printer = QString::fromLatin1(kQueue));
    void CloseAndQuit();
};
// Throws DispatchException as the server does.
OpenWorkbook Open(const QString& path, const QString& password = QString::fromLatin1(kPlaceholderPassword));

} // namespace officetest

// The real office, poppler and the CUPS queue, at the top of every office test.
#define ORVIK_REQUIRE_OFFICE()                                                                   \
    do {                                                                                         \
        ORVIK_REQUIRE_TOOL(officetest::OfficeInstalled(), "LibreOffice Calc (libreoffice-calc)"); \
        ORVIK_REQUIRE_TOOL(testsupport::HaveProgram("pdftotext"), "poppler-utils (pdftotext)");  \
        ORVIK_REQUIRE_TOOL(officetest::QueueInstalled(), "the CUPS queue OrvikExcelToPDF");      \
    } while (0)
