#pragma once

#include "cli/Shard.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

class WakePipe;

// The options for long lists shared out among processes: --files-from LIST
// (workbooks one a line, taken in at the place of the option among the
// workbooks on the command line), --shard K/N|auto and --report FILE.
class BatchArguments {
public:
    // Whether name is one of these options (each takes a value).
    static bool Takes(const QString& name);

    // Records an option; workbooksSoFar: workbooks the command line named
    // before it. False, with a one-line reason, on a bad value.
    bool Apply(const QString& name, const QString& value, qsizetype workbooksSoFar, QString* error);
    // Whether workbooks come from lists.
    bool HasLists() const { return !m_lists.isEmpty(); }
    // Whether a list comes from standard input.
    bool ListOnStdin() const;
    // Puts the lists' workbooks among those of the command line, each list at
    // its place. False, with a one-line reason, when a list cannot be read or
    // no workbook is named at all.
    bool ReadLists(QStringList* workbooks, const WakePipe& stop, QString* error) const;

    // Whether --shard was given; the share of the whole list to convert.
    bool Sharded() const { return m_bSharded; }
    const Shard& TheShard() const { return m_shard; }
    // The report file (empty: none; "-": standard output).
    QString ReportFile() const { return m_strReport; }

private:
    QList<QPair<qsizetype, QString>> m_lists; // (workbooks before it, file), in order
    bool m_bSharded = false;
    Shard m_shard;
    QString m_strReport;
};
