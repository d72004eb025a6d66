#pragma once

#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <mutex>
#include <vector>

class ExcelWorkbook;
class OfficeProcess;

// What one "Excel.Application" object and everything it hands out share: the
// office it runs on, whether it started that office itself, and its workbooks.
// Quit (or the end of the last reference) closes the workbooks and ends an
// office of its own; an office of a session goes on serving.
class ExcelAppContext {
public:
    ExcelAppContext(std::shared_ptr<OfficeProcess> office, bool ownsOffice);
    ~ExcelAppContext();
    ExcelAppContext(const ExcelAppContext&) = delete;
    ExcelAppContext& operator=(const ExcelAppContext&) = delete;

    // The office; throws DispatchException after Quit.
    std::shared_ptr<OfficeProcess> Office();
    void Track(const std::shared_ptr<ExcelWorkbook>& workbook);
    void Quit();
    bool HasQuit() const;
    // A private folder (mode 0700) for print files nobody asked for; made on first use.
    QString ScratchFolder();

private:
    mutable std::mutex m_mutex;
    std::shared_ptr<OfficeProcess> m_pOffice;
    bool m_bOwnsOffice;
    bool m_bQuit = false;
    std::vector<std::weak_ptr<ExcelWorkbook>> m_workbooks;
    std::unique_ptr<QTemporaryDir> m_pScratch;
};
