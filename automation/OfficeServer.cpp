#include "automation/OfficeServer.h"

#include "automation/Dispatch.h"
#include "automation/ExcelAppContext.h"
#include "automation/ExcelApplication.h"
#include "automation/OfficeProcess.h"
#include "automation/OfficeSession.h"

#include <mutex>

namespace {

std::mutex g_optionsMutex;
OfficeOptions g_defaultOptions;

std::shared_ptr<IDispatchObject> CreateApplication()
{
    std::shared_ptr<OfficeProcess> office = OfficeSession::CurrentOffice();
    const bool ownsOffice = !office;
    if (ownsOffice)
        office = OfficeProcess::Launch(DefaultOfficeOptions());
    return std::make_shared<ExcelApplication>(std::make_shared<ExcelAppContext>(std::move(office), ownsOffice));
}

} // namespace

void RegisterOfficeServer()
{
    DispatchRegistry::Register(QStringLiteral("Excel.Application"), CreateApplication);
}

void SetDefaultOfficeOptions(const OfficeOptions& options)
{
    std::lock_guard lock(g_optionsMutex);
    g_defaultOptions = options;
}

OfficeOptions DefaultOfficeOptions()
{
    std::lock_guard lock(g_optionsMutex);
    return g_defaultOptions;
}
