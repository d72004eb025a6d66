#pragma once

#include "engine/PageChunks.h"

#include <QString>
#include <QStringList>

#include <condition_variable>
#include <mutex>
#include <vector>

class StopGate;

// The page ranges of one long sheet, shared out between the lane printing its
// workbook and lanes with nothing else to do. A helper opens the workbook in
// its own office and prints the ranges it takes into the files named here;
// the owner takes ranges too and hands every file to Ghostscript in page order.
class PageRangeShare {
public:
    enum class State {
        Open,    // nobody has taken it (again)
        Taken,   // being printed
        Printed, // its file is complete
        Empty,   // it printed no page
    };

    // sheet is 1-based; files holds one print file per range.
    PageRangeShare(QString workbookPath, QString password, int sheet, std::vector<CPageChunks::Range> ranges,
                   QStringList files);

    const QString& WorkbookPath() const { return m_strWorkbookPath; }
    // What the workbook opened with (kept in memory only).
    const QString& Password() const { return m_strPassword; }
    int Sheet() const { return m_nSheet; }
    // Whether the sheet prints scaled to one page wide (helpers must paginate it alike).
    void SetFitWidth(bool fit) { m_bFitWidth = fit; }
    bool FitWidth() const { return m_bFitWidth; }
    int Parts() const { return int(m_ranges.size()); }
    CPageChunks::Range RangeOf(int part) const { return m_ranges.at(size_t(part)); }
    QString FileOf(int part) const { return m_lstFiles.at(part); }

    // The first open range, now taken by the caller; -1 when none is open or the share is closed.
    int Take();
    // A taken range is done: printed, or without any page.
    void Done(int part, bool empty);
    // A taken range the taker could not print is open again.
    void GiveBack(int part);
    bool HasOpen() const;
    State StateOf(int part) const;
    // Waits while the range is taken; returns its state then (Taken on a stop).
    State Await(int part, StopGate* gate);
    // Nothing more is taken; returns once no range is taken any more.
    void Close();

private:
    const QString m_strWorkbookPath;
    const QString m_strPassword;
    const int m_nSheet;
    bool m_bFitWidth = false;
    const std::vector<CPageChunks::Range> m_ranges;
    const QStringList m_lstFiles;

    mutable std::mutex m_mutex;
    std::condition_variable m_cvChanged;
    std::vector<State> m_states;
    bool m_bClosed = false;
};
