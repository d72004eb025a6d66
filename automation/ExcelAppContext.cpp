#include "automation/ExcelAppContext.h"

#include "automation/ExcelWorkbook.h"
#include "automation/OfficeProcess.h"
#include "platform/StaleRunFiles.h"

#include <QDir>

ExcelAppContext::ExcelAppContext(std::shared_ptr<OfficeProcess> office, bool ownsOffice)
    : m_pOffice(std::move(office)), m_bOwnsOffice(ownsOffice)
{
}

ExcelAppContext::~ExcelAppContext()
{
    Quit();
}

std::shared_ptr<OfficeProcess> ExcelAppContext::Office()
{
    std::lock_guard lock(m_mutex);
    if (m_bQuit || !m_pOffice)
        throw DispatchException(E_FAIL, QStringLiteral("The spreadsheet application has quit."));
    return m_pOffice;
}

void ExcelAppContext::Track(const std::shared_ptr<ExcelWorkbook>& workbook)
{
    std::lock_guard lock(m_mutex);
    std::erase_if(m_workbooks, [](const std::weak_ptr<ExcelWorkbook>& w) { return w.expired(); });
    m_workbooks.push_back(workbook);
}

void ExcelAppContext::Quit()
{
    std::vector<std::weak_ptr<ExcelWorkbook>> workbooks;
    {
        std::lock_guard lock(m_mutex);
        if (m_bQuit)
            return;
        workbooks.swap(m_workbooks);
    }
    for (const auto& w : workbooks)
        if (auto workbook = w.lock())
            workbook->CloseDocument();
    std::lock_guard lock(m_mutex);
    m_bQuit = true;
    if (m_bOwnsOffice && m_pOffice)
        m_pOffice->Kill();
    m_pOffice.reset();
    m_pScratch.reset();
}

bool ExcelAppContext::HasQuit() const
{
    std::lock_guard lock(m_mutex);
    return m_bQuit;
}

QString ExcelAppContext::ScratchFolder()
{
    std::lock_guard lock(m_mutex);
    // Named after this process, so that a later run removes it when this one is killed.
    if (!m_pScratch)
        m_pScratch = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/orvik-print-")
                                                     + StaleRunFiles::NamePart() + QStringLiteral("XXXXXX"));
    if (!m_pScratch->isValid())
        throw DispatchException(E_FAIL, QStringLiteral("No private folder could be made for printing."));
    return m_pScratch->path();
}
