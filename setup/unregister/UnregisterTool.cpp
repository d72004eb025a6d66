#include "setup/unregister/UnregisterTool.h"

#include "platform/PrinterQueue.h"
#include "platform/ProcessList.h"
#include "setup/common/AddinLibrary.h"
#include "setup/unregister/ExcelWarning.h"

#include <cstdio>
#include <unistd.h>

CUnregisterTool::CUnregisterTool(const QString& folder)
    : m_strFolder(folder)
    , m_fnWarning(&CExcelWarning::Show)
{
}

const QStringList& CUnregisterTool::ExcelNames()
{
    static const QStringList names{QStringLiteral("EXCEL.EXE"), QStringLiteral("excel.exe")};
    return names;
}

int CUnregisterTool::Run()
{
    m_lstProblems.clear();
    EndExcel();
    UnregisterAddin();
    DeleteQueue();
    if (!m_lstProblems.isEmpty() && ::geteuid() != 0)
        Report(QStringLiteral("OrvikUnregister needs administrator rights: run it with sudo."));
    return 0;
}

void CUnregisterTool::Report(const QString& line)
{
    m_lstProblems.append(line);
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
}

void CUnregisterTool::EndExcel()
{
    CProcessList excel;
    QString error;
    if (!excel.Scan(ExcelNames(), &error)) {
        Report(error + QStringLiteral(" Running Excel processes were not ended."));
        return;
    }
    if (excel.IsEmpty())
        return;
    // One warning for all of them; they are ended whether or not the user closed them.
    m_fnWarning(QLatin1String(kWarningText), QLatin1String(kWarningCaption));
    QStringList problems;
    excel.End(&problems);
    for (const QString& p : problems)
        Report(p);
}

void CUnregisterTool::UnregisterAddin()
{
    QString message;
    if (!CAddinLibrary::Call(m_strFolder, CAddinLibrary::kUnregister, &message))
        Report(message);
}

void CUnregisterTool::DeleteQueue()
{
    QString message;
    if (!CPrinterQueue::Delete(QLatin1String(CPrinterQueue::kQueueName), &message))
        Report(message);
}
