#pragma once

#include "automation/Dispatch.h"

#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/uno/Reference.hxx>

#include <memory>

class ExcelWorkbook;

// The sheets of a workbook in tab order: Count, and Item by 1-based index.
class ExcelSheets : public IDispatchObject {
public:
    explicit ExcelSheets(std::shared_ptr<ExcelWorkbook> workbook);
    Variant Invoke(int32_t dispid, InvokeKind kind, const std::vector<Variant>& args) override;

private:
    int32_t Count() const;
    Variant Item(const std::vector<Variant>& args) const;
    // The document's sheet container and its count, asked for once (Item checks
    // its index against that count): the workbook is open read-only, so its
    // sheets stay as they are. Called within an office call.
    void FetchSheets() const;

    std::shared_ptr<ExcelWorkbook> m_pWorkbook;
    // Set and read only within office calls, which run one at a time.
    mutable css::uno::Reference<css::container::XIndexAccess> m_xSheets;
    mutable int32_t m_nCount = 0;
};
