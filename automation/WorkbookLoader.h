#pragma once

#include "automation/UnoRuntime.h"

#include <QString>

#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/uno/Reference.hxx>

class OfficeProcess;

// Loads one workbook file into the office: hidden, macros off, links not
// updated, nobody asked anything. Throws DispatchException when the office
// refuses the file: XlError::PasswordRequired when the office asked for the
// workbook's password (none given, or a wrong one), DISP_E_EXCEPTION for a
// file that is damaged, not a workbook or loads as plain text, E_FAIL when
// the office hung or ended.
class WorkbookLoader {
public:
    struct Request {
        QString path;
        bool readOnly = true;
        QString password; // empty: none
    };

    static css::uno::Reference<css::frame::XModel> Load(OfficeProcess& office, const Request& request);

private:
    static QString CheckedPath(const QString& path);
    static void Refuse(OfficeProcess& office, const css::uno::Reference<css::frame::XModel>& model,
                       const QString& message);
    static bool LoadedAsPlainText(const css::uno::Reference<css::frame::XModel>& model);
};
