#pragma once

#include <com/sun/star/task/XInteractionHandler.hpp>
#include <cppuhelper/implbase1.hxx>

#include <atomic>

// Answers the office's questions while one workbook loads; nobody is there to
// answer them. A document password request is declined and remembered, so the
// caller can tell an encrypted workbook from a damaged one. Any other question
// takes the answer that goes on loading (a warning about lost data, say) where
// there is one, and aborts the load otherwise. Called on a bridge thread.
class ExcelLoadInteraction : public cppu::WeakImplHelper1<css::task::XInteractionHandler> {
public:
    void SAL_CALL handle(const css::uno::Reference<css::task::XInteractionRequest>& request) override;

    // True once the office asked for the workbook's password (none given, or a wrong one).
    bool PasswordRequested() const { return m_bPasswordRequested; }

private:
    static void Select(const css::uno::Reference<css::task::XInteractionRequest>& request, bool goOn);

    std::atomic<bool> m_bPasswordRequested{false};
};
