#include "automation/DispatchArgs.h"

DispatchArgs::DispatchArgs(const char* member, const std::vector<Variant>& args)
    : m_pszMember(member), m_args(args)
{
}

void DispatchArgs::ExpectCount(size_t count) const
{
    if (m_args.size() != count)
        throw DispatchException(DISP_E_BADPARAMCOUNT,
                                QStringLiteral("%1 takes %2 arguments, not %3.")
                                    .arg(QLatin1String(m_pszMember))
                                    .arg(count)
                                    .arg(m_args.size()));
}

const Variant& DispatchArgs::At(size_t index) const
{
    if (index >= m_args.size())
        throw DispatchException(DISP_E_BADPARAMCOUNT,
                                QStringLiteral("%1 misses argument %2.").arg(QLatin1String(m_pszMember)).arg(index + 1));
    return m_args[index];
}

bool DispatchArgs::Omitted(size_t index) const
{
    const Variant& v = At(index);
    return v.IsOmitted() || v.vt == VT_EMPTY;
}

void DispatchArgs::TypeMismatch(size_t index, const char* expected) const
{
    throw DispatchException(DISP_E_TYPEMISMATCH, QStringLiteral("Argument %1 of %2 must be %3.")
                                                     .arg(index + 1)
                                                     .arg(QLatin1String(m_pszMember), QLatin1String(expected)));
}

QString DispatchArgs::String(size_t index) const
{
    const std::optional<QString> value = OptionalString(index);
    if (!value)
        TypeMismatch(index, "a string");
    return *value;
}

std::optional<QString> DispatchArgs::OptionalString(size_t index) const
{
    if (Omitted(index))
        return std::nullopt;
    const Variant& v = At(index);
    if (v.vt != VT_BSTR)
        TypeMismatch(index, "a string");
    return v.bstrVal;
}

std::optional<int32_t> DispatchArgs::OptionalInt(size_t index) const
{
    if (Omitted(index))
        return std::nullopt;
    const Variant& v = At(index);
    if (v.vt != VT_I2 && v.vt != VT_I4)
        TypeMismatch(index, "a number");
    return v.ToInt();
}

int32_t DispatchArgs::Int(size_t index) const
{
    const std::optional<int32_t> value = OptionalInt(index);
    if (!value)
        TypeMismatch(index, "a number");
    return *value;
}

std::optional<bool> DispatchArgs::OptionalFlag(size_t index) const
{
    if (Omitted(index))
        return std::nullopt;
    const Variant& v = At(index);
    if (v.vt != VT_BOOL && v.vt != VT_I2 && v.vt != VT_I4)
        TypeMismatch(index, "true or false");
    return v.ToInt() != 0;
}

bool DispatchArgs::Flag(size_t index) const
{
    const std::optional<bool> value = OptionalFlag(index);
    if (!value)
        TypeMismatch(index, "true or false");
    return *value;
}

void DispatchArgs::Scalar(size_t index) const
{
    const Variant& v = At(index);
    if (!Omitted(index) && v.vt != VT_BSTR && v.vt != VT_I2 && v.vt != VT_I4 && v.vt != VT_BOOL)
        TypeMismatch(index, "a plain value");
}

void DispatchArgs::NoSuchMember(int32_t dispid, InvokeKind kind)
{
    throw DispatchException(DISP_E_MEMBERNOTFOUND,
                            QStringLiteral("The object has no member %1 for this kind of call (%2).").arg(dispid).arg(kind));
}

void DispatchArgs::ExpectGet(const char* member, InvokeKind kind, const std::vector<Variant>& args)
{
    if (kind != DISPATCH_PROPERTYGET && kind != DISPATCH_METHOD)
        throw DispatchException(DISP_E_MEMBERNOTFOUND,
                                QStringLiteral("%1 can only be read.").arg(QLatin1String(member)));
    DispatchArgs(member, args).ExpectCount(0);
}

void DispatchArgs::ExpectMethod(const char* member, InvokeKind kind)
{
    if (kind != DISPATCH_METHOD)
        throw DispatchException(DISP_E_MEMBERNOTFOUND,
                                QStringLiteral("%1 is a method.").arg(QLatin1String(member)));
}
