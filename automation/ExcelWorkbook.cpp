#include "automation/ExcelWorkbook.h"

#include "automation/DispatchArgs.h"
#include "automation/ExcelAppContext.h"
#include "automation/ExcelMembers.h"
#include "automation/ExcelSheets.h"
#include "automation/OfficeProcess.h"

#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/util/CloseVetoException.hpp>
#include <com/sun/star/util/XCloseable.hpp>

#include <utility>

ExcelWorkbook::ExcelWorkbook(std::shared_ptr<ExcelAppContext> context, std::shared_ptr<OfficeProcess> office,
                             css::uno::Reference<css::frame::XModel> model)
    : m_pContext(std::move(context)), m_pOffice(std::move(office)), m_xModel(std::move(model))
{
}

ExcelWorkbook::~ExcelWorkbook()
{
    CloseDocument();
}

Variant ExcelWorkbook::Invoke(int32_t dispid, InvokeKind kind, const std::vector<Variant>& args)
{
    switch (dispid) {
    case XlMember::Sheets:
        DispatchArgs::ExpectGet("Sheets", kind, args);
        Model();
        return Variant::Dispatch(std::make_shared<ExcelSheets>(shared_from_this()));
    case XlMember::Close: {
        DispatchArgs::ExpectMethod("Close", kind);
        DispatchArgs in("Close", args);
        in.ExpectCount(3);
        in.OptionalFlag(0); // SaveChanges: the workbook is never saved
        in.Scalar(1);       // Filename (callers pass false for "none")
        in.OptionalFlag(2); // RouteWorkbook
        Model();              // raises when already closed
        CloseDocument();
        return {};
    }
    default:
        DispatchArgs::NoSuchMember(dispid, kind);
    }
}

css::uno::Reference<css::frame::XModel> ExcelWorkbook::Model() const
{
    std::lock_guard lock(m_mutex);
    if (!m_xModel.is())
        throw DispatchException(E_FAIL, QStringLiteral("The workbook has been closed."));
    return m_xModel;
}

OfficeProcess& ExcelWorkbook::Office() const
{
    Model();
    return *m_pOffice;
}

bool ExcelWorkbook::TakeFirstActivation()
{
    std::lock_guard lock(m_mutex);
    const bool first = !m_bActivated;
    m_bActivated = true;
    return first;
}

void ExcelWorkbook::SetViewUnsettled()
{
    std::lock_guard lock(m_mutex);
    m_bViewUnsettled = true;
}

bool ExcelWorkbook::TakeViewUnsettled()
{
    std::lock_guard lock(m_mutex);
    return std::exchange(m_bViewUnsettled, false);
}

QString ExcelWorkbook::SelectedPrinter() const
{
    std::lock_guard lock(m_mutex);
    return m_strPrinter;
}

void ExcelWorkbook::SetSelectedPrinter(const QString& name)
{
    std::lock_guard lock(m_mutex);
    m_strPrinter = name;
}

int32_t ExcelWorkbook::KnownActiveSheet() const
{
    std::lock_guard lock(m_mutex);
    return m_nKnownActive;
}

void ExcelWorkbook::SetKnownActiveSheet(int32_t index)
{
    std::lock_guard lock(m_mutex);
    m_nKnownActive = index;
}

ExcelWorkbook::SheetFacts ExcelWorkbook::KnownFacts(int32_t index) const
{
    std::lock_guard lock(m_mutex);
    const auto known = m_knownFacts.find(index);
    return known == m_knownFacts.end() ? SheetFacts{} : known->second;
}

void ExcelWorkbook::SetKnownFacts(int32_t index, const SheetFacts& facts)
{
    std::lock_guard lock(m_mutex);
    m_knownFacts[index] = facts;
}

void ExcelWorkbook::ForgetView()
{
    std::lock_guard lock(m_mutex);
    m_nKnownActive = -1;
    m_knownFacts.clear();
}

void ExcelWorkbook::CloseDocument() noexcept
{
    css::uno::Reference<css::frame::XModel> model;
    {
        std::lock_guard lock(m_mutex);
        model = m_xModel;
        m_xModel.clear();
    }
    if (!model.is() || !m_pOffice->Alive())
        return;
    try {
        m_pOffice->Call(QStringLiteral("Close"), [&] {
            css::uno::Reference<css::util::XCloseable> closeable(model, css::uno::UNO_QUERY);
            try {
                if (closeable.is()) {
                    closeable->close(true);
                    return;
                }
            } catch (const css::util::CloseVetoException&) {
                // Busy (e.g. still printing): disposing ends it anyway.
            }
            css::uno::Reference<css::lang::XComponent>(model, css::uno::UNO_QUERY_THROW)->dispose();
        });
    } catch (const DispatchException&) {
        // A workbook whose office failed has nothing left to close.
    } catch (...) {
    }
}
