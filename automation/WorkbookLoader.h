#pragma once

#include "automation/UnoRuntime.h"

#include <QString>

#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/uno/Reference.hxx>

class OfficeProcess;

// Loads one workbook file into the office: hidden, macros off, links not
// updated, no interaction (a missing or wrong password refuses the file instead
// of asking). Throws DispatchException when the office refuses the file or
// loads it as something other than a workbook.
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
