#pragma once

#include <QString>

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/uno/Any.hxx>
#include <com/sun/star/uno/Reference.hxx>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <rtl/ustring.hxx>

using rtl::OUString;

// The UNO runtime inside this process, bootstrapped once (from any thread) from
// the office's own runtime files, and string conversions between Qt and UNO.
class UnoRuntime {
public:
    // The local component context; throws DispatchException when the office's
    // runtime cannot be bootstrapped.
    static css::uno::Reference<css::uno::XComponentContext> LocalContext();

    static OUString ToOU(const QString& text);
    static QString ToQ(const OUString& text);

    // One named argument of an office call.
    static css::beans::PropertyValue Property(const char* name, const css::uno::Any& value)
    {
        css::beans::PropertyValue p;
        p.Name = OUString::createFromAscii(name);
        p.Value = value;
        return p;
    }
};
