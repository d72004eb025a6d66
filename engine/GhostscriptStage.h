#pragma once

#include "options/ConversionOptions.h"

#include <QHash>
#include <QString>
#include <QStringList>

class GhostscriptServer;
class StopGate;

// One workbook's Ghostscript stage: what it needs and what came of it.
struct GhostscriptJob {
    ConversionOptions options;   // copy taken for this workbook
    QString workbookPath;        // for the PDF's base name
    QString outputFolder;        // as typed; a separator is added when missing
    QStringList inputFiles;      // print files in sheet order (may be empty)
    QString runFolder;           // private 0700 folder of the run (pdfmarks, argument file)
    QString interpreter;         // empty: gs/bin/gs beside the program, else gs on PATH
    // What becomes of a file found at the target when the PDF is complete:
    // Keep it (the new PDF goes), Replace it, or Hold the new PDF under its
    // temporary name for the caller to decide (GhostscriptResult::heldPdf).
    enum class Existing { Keep, Replace, Hold };
    Existing existing = Existing::Keep;
    QHash<QString, QString> bookmarks{}; // outline title of the sheet a print file begins
    QString outline{};             // pdfmarks run after the pages (an outline of known pages; may be empty)
};

struct GhostscriptResult {
    bool ok = false;
    QString pdfPath;             // the target path (also filled on failure)
    QString message;             // clear one-line reason when !ok
    bool targetExists = false;   // complete, but not published: a file of the target's name is there
    QString heldPdf{};           // with Existing::Hold: the complete PDF, for the caller to move or remove
};

// Writes the workbook's PDF from its print files. Ghostscript writes under a
// temporary name in the output folder; only a complete PDF replaces the target,
// and only where the job says so, so a failed or stopped run leaves an
// existing PDF as it was. Several jobs may
// run at once in the same run folder. With a server (one job at a time), its
// Ghostscript writes the PDF, else one started for this job alone; the
// server's folders must hold the job's run folder and output folder.
GhostscriptResult ConvertWithGhostscript(const GhostscriptJob& job, StopGate* gate = nullptr,
                                         GhostscriptServer* server = nullptr);

// Target path the stage writes for a workbook: folder + separator (when missing) + base name + ".pdf".
QString PdfPathFor(const QString& outputFolder, const QString& workbookPath);
