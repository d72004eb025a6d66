#pragma once

#include "engine/GhostscriptStage.h"
#include "options/ConversionOptions.h"

#include <QList>
#include <QPair>
#include <QString>

class StopGate;

// One PDF made from the PDFs of a run's workbooks, in the order given: the
// run's options (document information, security, compression, version, page
// layout and mode) apply to the whole, and its outline holds each workbook
// with its sheets under it. The workbooks' own PDFs are made first with
// PartOptions into a private folder; Ghostscript then writes the whole under
// a temporary name and publishes it only complete, as for any PDF.
class PdfMerge {
public:
    struct Part {
        QString pdf;                       // below the private folder
        QString title;                     // the workbook's file name
        int pages = 0;                     // pages of its PDF
        QList<QPair<QString, int>> sheets; // each sheet's name and first page in its PDF
    };

    // The options for the workbooks' own PDFs: nothing that a second pass
    // would lose or spoil (no security, outline or PDF/A; images kept lossless).
    static ConversionOptions PartOptions(const ConversionOptions& options);
    // The outline program: a workbook entry on its first page, its sheets under it.
    static QString Outline(const QList<Part>& parts);
    // Writes target (named as PdfPathFor names a PDF) from the parts; folder is
    // the private folder that holds them.
    static GhostscriptResult Write(const QList<Part>& parts, const ConversionOptions& options,
                                   const QString& target, const QString& folder,
                                   GhostscriptJob::Existing existing, StopGate* gate);
};
