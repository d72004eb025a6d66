#include "cli/BatchArguments.h"

#include "cli/WorkbookListFile.h"

bool BatchArguments::Takes(const QString& name)
{
    return name == QLatin1String("--files-from") || name == QLatin1String("--shard")
           || name == QLatin1String("--report");
}

bool BatchArguments::Apply(const QString& name, const QString& value, qsizetype workbooksSoFar, QString* error)
{
    if (value.isEmpty()) {
        *error = QStringLiteral("%1 needs a value").arg(name);
        return false;
    }
    if (name == QLatin1String("--files-from")) {
        if (value == WorkbookListFile::StdinName() && ListOnStdin()) {
            *error = QStringLiteral("standard input can give only one list of workbooks");
            return false;
        }
        m_lists.append({workbooksSoFar, value});
        return true;
    }
    const bool twice = name == QLatin1String("--shard") ? m_bSharded : !m_strReport.isEmpty();
    if (twice) {
        *error = QStringLiteral("%1 is given twice").arg(name);
        return false;
    }
    if (name == QLatin1String("--report")) {
        m_strReport = value;
        return true;
    }
    m_bSharded = Shard::Parse(value, QProcessEnvironment::systemEnvironment(), &m_shard, error);
    return m_bSharded;
}

bool BatchArguments::ListOnStdin() const
{
    for (const auto& [before, file] : m_lists)
        if (file == WorkbookListFile::StdinName())
            return true;
    return false;
}

bool BatchArguments::ReadLists(QStringList* workbooks, const WakePipe& stop, QString* error) const
{
    QStringList whole;
    qsizetype taken = 0;
    for (const auto& [before, file] : m_lists) {
        whole << workbooks->mid(taken, before - taken);
        taken = before;
        if (!WorkbookListFile::Read(file, stop, &whole, error))
            return false;
    }
    whole << workbooks->mid(taken);
    if (whole.isEmpty()) {
        *error = QStringLiteral("no workbook given: the list of workbooks is empty");
        return false;
    }
    *workbooks = whole;
    return true;
}
