#pragma once

#include "engine/GhostscriptServer.h"
#include "engine/GhostscriptStage.h"

#include <QString>

#include <optional>

class StopGate;

// One workbook's PDF written by Ghostscript while its print files are still
// coming: Begin starts the job with the print files there are, Add hands over
// each one completed later (Ghostscript joins it while the next one prints),
// Finish waits for the end and moves the complete PDF to the target.
// Ghostscript writes under a temporary name in the output folder; a stream
// that is abandoned, fails or is destroyed unfinished leaves no file behind
// and the target as it was. The server (or one of its own when none is given)
// serves this stream alone from Begin to Finish or Abandon.
class CGhostscriptStream {
public:
    CGhostscriptStream(const GhostscriptJob& job, GhostscriptServer* server = nullptr);
    ~CGhostscriptStream();
    CGhostscriptStream(const CGhostscriptStream&) = delete;
    CGhostscriptStream& operator=(const CGhostscriptStream&) = delete;

    // ok when the job has begun; otherwise the reason (a stop, a refused
    // password, no Ghostscript) and nothing is left running.
    GhostscriptResult Begin(StopGate* gate);
    // False when the file cannot join this job (the Ghostscript ended). The
    // stream is then of no further use: abandon it and join the files anew.
    bool Add(const QString& printFile, const QString& bookmark = {});
    // Ends the job and publishes its PDF as the job's Existing rule says; a
    // stop on the gate ends Ghostscript at once.
    GhostscriptResult Finish(StopGate* gate);
    // Before Finish: what becomes of a file found at the target.
    void SetExisting(GhostscriptJob::Existing existing) { m_job.existing = existing; }
    // Ends an unfinished job at once, removing its temporary files.
    void Abandon();

    bool Begun() const { return m_bBegun; }

private:
    GhostscriptResult Failure(const QString& message) const;
    bool WritePdfmarks(QString* error);
    // The programs run once before and after the pages: the PDF/A output intent, the job's outline.
    bool WriteOpeningAndClosing(QString* error);
    QString WriteProgram(const QString& prefix, const QByteArray& text, QString* error);
    // Moves the complete PDF to its target (or holds it, or leaves the target be).
    GhostscriptResult Publish();
    void RemoveFiles();
    // Readies a print file for the job's level before Ghostscript reads it (see SoftMaskImages).
    void PrepareInput(const QString& printFile) const;

    GhostscriptJob m_job;
    GhostscriptServer* m_pServer;
    std::optional<GhostscriptServer> m_ownServer;
    QString m_strTarget;
    QString m_strPdfmarks;
    QString m_strOpening;   // empty when there is none
    QString m_strProfile;   // copy of the sRGB profile the opening reads (PDF/A)
    QString m_strClosing;   // empty when there is none
    QString m_strPartialPdf;
    bool m_bBegun = false;
};
