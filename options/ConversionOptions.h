#pragma once

#include <QString>
#include <QStringList>

// The PDF settings one workbook is converted with. The settings pages edit
// their own members; when a workbook starts, the engine is handed a copy of
// this value, so no worker ever reads a widget and a change made between two
// workbooks applies from the next one on.
struct ConversionOptions {
    // Document information (empty: left out of the PDF).
    QString m_strDocTitle;
    QString m_strDocSubject;
    QString m_strDocAuthor;
    QString m_strDocKeywords;

    // Security. Flags are 0 or 1; the level is 0 (40-bit RC4) or 1 (128-bit RC4).
    int m_bEnableSecurity = 0;
    int m_bOwnerPassword = 0;
    int m_bUserPassword = 0;
    int m_bCopyExtract = 0;
    int m_bFormFill = 0;
    int m_bChangeDoc = 0;
    int m_bPrinting = 0;
    int m_nEncryptionLevel = 0;
    QString m_strUserPassword;
    QString m_strOwnerPassword;

    // Output settings: the selected item text of each list.
    QString m_strPageLayout;
    QString m_strPageMode;
    QString m_strDocCompression;
    QString m_strImageCompression;
    QString m_strJpegQuality;
    QString m_strPdfVersion;

    // Beyond the settings pages: an outline entry per printed sheet (on unless
    // turned off), each sheet scaled to one page wide, archival PDF/A-2b output.
    int m_bBookmarks = 1;
    int m_bFitWidth = 0;
    int m_bPdfA = 0;

    ConversionOptions();

    // True when the PDF gets an owner password and encryption at all.
    bool SecurityApplies() const;
};

// The exact item texts of the six output-setting lists, index 0 first.
namespace OptionItems {
const QStringList& PageLayout();
const QStringList& PageMode();
const QStringList& DocCompression();
const QStringList& ImageCompression();
const QStringList& JpegQuality();
const QStringList& PdfVersion();
} // namespace OptionItems
