#pragma once

#include "automation/Dispatch.h"

#include <QString>

#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/uno/Reference.hxx>

#include <map>
#include <memory>
#include <mutex>
#include <optional>

class ExcelAppContext;
class OfficeProcess;

// One open workbook: Sheets and Close. The document is closed (never saved)
// by Close, by its application's Quit, or when the last reference goes.
class ExcelWorkbook : public IDispatchObject, public std::enable_shared_from_this<ExcelWorkbook> {
public:
    ExcelWorkbook(std::shared_ptr<ExcelAppContext> context, std::shared_ptr<OfficeProcess> office,
                  css::uno::Reference<css::frame::XModel> model);
    ~ExcelWorkbook() override;

    Variant Invoke(int32_t dispid, InvokeKind kind, const std::vector<Variant>& args) override;

    // Closes the document; quietly nothing when it is closed or its office has ended.
    void CloseDocument() noexcept;
    // The document and its office; throw DispatchException once the workbook is closed.
    css::uno::Reference<css::frame::XModel> Model() const;
    OfficeProcess& Office() const;
    ExcelAppContext& Context() const { return *m_pContext; }
    // True only at the first call: the document's view has not been prepared or switched yet.
    bool TakeFirstActivation();
    // Set when the document's stored view may still take over at its next
    // print (switching sheets); taking it clears it.
    void SetViewUnsettled();
    bool TakeViewUnsettled();
    // The printer queue the document was last set to print through (empty: none yet);
    // the office keeps it for the document, so later sheets need not set it again.
    QString SelectedPrinter() const;
    void SetSelectedPrinter(const QString& name);
    // What the office said of its view and sheets since it last printed: the
    // sheet made active (-1: none), and of each sheet whether it is visible and
    // whether it has nothing to print. Printing may switch the view and lays
    // pages out anew, so a print forgets them all.
    struct SheetFacts {
        std::optional<bool> visible;
        std::optional<bool> empty;
    };
    int32_t KnownActiveSheet() const;
    void SetKnownActiveSheet(int32_t index);
    SheetFacts KnownFacts(int32_t index) const;
    void SetKnownFacts(int32_t index, const SheetFacts& facts);
    void ForgetView();

private:
    std::shared_ptr<ExcelAppContext> m_pContext;
    std::shared_ptr<OfficeProcess> m_pOffice;
    mutable std::mutex m_mutex;
    css::uno::Reference<css::frame::XModel> m_xModel;
    bool m_bActivated = false;
    bool m_bViewUnsettled = false;
    QString m_strPrinter;
    int32_t m_nKnownActive = -1;
    std::map<int32_t, SheetFacts> m_knownFacts;
};
