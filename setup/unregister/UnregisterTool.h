#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// OrvikUnregister's work: end running Excel processes after one warning, then
// unregister the add-in library beside the tool, then delete the printer queue.
// Every step runs even when an earlier one failed (so that uninstalling leaves
// nothing behind); each failure is one line on standard error. The exit code is
// always 0.
class CUnregisterTool {
public:
    using Warning = std::function<void(const QString& text, const QString& caption)>;

    explicit CUnregisterTool(const QString& folder);

    // Replaces how the warning is shown (CExcelWarning::Show by default).
    void SetWarning(Warning warning) { m_fnWarning = std::move(warning); }

    int Run();

    // The lines written to standard error by the last Run().
    const QStringList& Problems() const { return m_lstProblems; }

    static const QStringList& ExcelNames();
    static constexpr char kWarningText[] = "Please close all Excel files ";
    static constexpr char kWarningCaption[] = "Warning";

private:
    void EndExcel();
    void UnregisterAddin();
    void DeleteQueue();
    void Report(const QString& line);

    QString m_strFolder;
    Warning m_fnWarning;
    QStringList m_lstProblems;
};
