#include "automation/Variant.h"

Variant Variant::Short(int16_t v)
{
    Variant x;
    x.vt = VT_I2;
    x.iVal = v;
    return x;
}

Variant Variant::Long(int32_t v)
{
    Variant x;
    x.vt = VT_I4;
    x.lVal = v;
    return x;
}

Variant Variant::Bool(bool v)
{
    Variant x;
    x.vt = VT_BOOL;
    x.boolVal = v;
    return x;
}

Variant Variant::String(const QString& v)
{
    Variant x;
    x.vt = VT_BSTR;
    x.bstrVal = v;
    return x;
}

Variant Variant::Dispatch(std::shared_ptr<IDispatchObject> v)
{
    Variant x;
    x.vt = VT_DISPATCH;
    x.pdispVal = std::move(v);
    return x;
}

Variant Variant::Error(int32_t code)
{
    Variant x;
    x.vt = VT_ERROR;
    x.scode = code;
    return x;
}

Variant Variant::Omitted()
{
    return Error(DISP_E_PARAMNOTFOUND);
}

int32_t Variant::ToInt() const
{
    switch (vt) {
    case VT_I2:
        return iVal;
    case VT_I4:
        return lVal;
    case VT_BOOL:
        return boolVal ? 1 : 0;
    default:
        return 0;
    }
}
