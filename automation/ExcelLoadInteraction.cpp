#include "automation/ExcelLoadInteraction.h"

#include <com/sun/star/task/PasswordRequest.hpp>
#include <com/sun/star/task/XInteractionAbort.hpp>
#include <com/sun/star/task/XInteractionApprove.hpp>
#include <com/sun/star/task/XInteractionRequest.hpp>

using css::uno::Reference;
using css::uno::UNO_QUERY;

void ExcelLoadInteraction::handle(const Reference<css::task::XInteractionRequest>& request)
{
    if (!request.is())
        return;
    // Every document password request (the office's own, the one for Excel's
    // encryption, and their variants) derives from PasswordRequest.
    const bool password = request->getRequest().isExtractableTo(cppu::UnoType<css::task::PasswordRequest>::get());
    if (password)
        m_bPasswordRequested = true;
    Select(request, !password);
}

void ExcelLoadInteraction::Select(const Reference<css::task::XInteractionRequest>& request, bool goOn)
{
    const auto continuations = request->getContinuations();
    if (goOn) {
        for (const auto& c : continuations)
            if (Reference<css::task::XInteractionApprove>(c, UNO_QUERY).is()) {
                c->select();
                return;
            }
    }
    for (const auto& c : continuations)
        if (Reference<css::task::XInteractionAbort>(c, UNO_QUERY).is()) {
            c->select();
            return;
        }
    // Neither offered: returning unanswered declines as well.
}
