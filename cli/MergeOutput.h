#pragma once

#include "engine/ConversionRunObserver.h"
#include "options/ConversionOptions.h"

#include <QString>

#include <memory>

class QTemporaryDir;
class StopGate;

// The one PDF of --merge. The run writes the workbooks' PDFs into a private
// folder beside the merged PDF (removed with this object); Write then joins
// those of the converted workbooks, in list order, into the merged PDF.
class MergeOutput {
public:
    // file: the merged PDF as given (".pdf" is added to a name without it).
    explicit MergeOutput(const QString& file);
    ~MergeOutput();
    MergeOutput(const MergeOutput&) = delete;
    MergeOutput& operator=(const MergeOutput&) = delete;

    // Makes the private folder; empty when done, else the reason.
    QString Prepare();
    // Where the run writes the workbooks' PDFs.
    QString Folder() const;
    // The merged PDF's path.
    QString Target() const { return m_strTarget; }

    // Writes the merged PDF from the summary's converted workbooks. False
    // with the reason when it was not written (nothing converted, a PDF of
    // its name kept, a failure).
    bool Write(const ConversionRunSummary& summary, const ConversionOptions& options, bool overwrite,
               StopGate* gate, QString* message) const;

private:
    QString m_strTarget;
    std::unique_ptr<QTemporaryDir> m_pFolder;
};
