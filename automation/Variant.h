#pragma once

#include <QString>

#include <cstdint>
#include <memory>

class IDispatchObject;

// Automation value types, numbered as the dispatch interface numbers them.
enum VarType : uint16_t {
    VT_EMPTY = 0,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_BSTR = 8,
    VT_DISPATCH = 9,
    VT_ERROR = 10,
    VT_BOOL = 11,
};

// Status codes carried by VT_ERROR values and by failed calls.
constexpr int32_t DISP_E_MEMBERNOTFOUND = static_cast<int32_t>(0x80020003);
constexpr int32_t DISP_E_PARAMNOTFOUND = static_cast<int32_t>(0x80020004);
constexpr int32_t DISP_E_TYPEMISMATCH = static_cast<int32_t>(0x80020005);
constexpr int32_t DISP_E_BADPARAMCOUNT = static_cast<int32_t>(0x8002000E);
constexpr int32_t DISP_E_EXCEPTION = static_cast<int32_t>(0x80020009);
constexpr int32_t E_FAIL = static_cast<int32_t>(0x80004005);

// One automation value: a tagged union of the types the conversion uses.
struct Variant {
    VarType vt = VT_EMPTY;
    int16_t iVal = 0;      // VT_I2
    int32_t lVal = 0;      // VT_I4
    bool boolVal = false;  // VT_BOOL
    int32_t scode = 0;     // VT_ERROR
    QString bstrVal;       // VT_BSTR
    std::shared_ptr<IDispatchObject> pdispVal; // VT_DISPATCH

    static Variant Short(int16_t v);
    static Variant Long(int32_t v);
    static Variant Bool(bool v);
    static Variant String(const QString& v);
    static Variant Dispatch(std::shared_ptr<IDispatchObject> v);
    static Variant Error(int32_t code);
    // An optional argument left out: VT_ERROR carrying DISP_E_PARAMNOTFOUND.
    static Variant Omitted();

    bool IsOmitted() const { return vt == VT_ERROR && scode == DISP_E_PARAMNOTFOUND; }
    // Integer value of VT_I2, VT_I4 or VT_BOOL (a VT_BOOL true is 1); 0 otherwise.
    int32_t ToInt() const;
};
