#pragma once

#include "automation/Dispatch.h"

#include <optional>
#include <vector>

// Checked access to the arguments of one automation call (call order). Every
// mismatch raises DispatchException: a wrong count DISP_E_BADPARAMCOUNT, a wrong
// type DISP_E_TYPEMISMATCH. An omitted optional argument is VT_ERROR
// DISP_E_PARAMNOTFOUND (VT_EMPTY counts as omitted too).
class DispatchArgs {
public:
    DispatchArgs(const char* member, const std::vector<Variant>& args);

    void ExpectCount(size_t count) const;
    bool Omitted(size_t index) const;
    // Required string.
    QString String(size_t index) const;
    std::optional<QString> OptionalString(size_t index) const;
    // VT_I2 or VT_I4.
    std::optional<int32_t> OptionalInt(size_t index) const;
    int32_t Int(size_t index) const;
    // VT_BOOL, VT_I2 or VT_I4 (non-zero is true).
    std::optional<bool> OptionalFlag(size_t index) const;
    bool Flag(size_t index) const;
    // Any plain value (string, number, flag) or omitted; no object.
    void Scalar(size_t index) const;

    // The member does not exist, or not for this kind of call.
    [[noreturn]] static void NoSuchMember(int32_t dispid, InvokeKind kind);
    // A property get (also reachable as a method, as automation allows) without arguments.
    static void ExpectGet(const char* member, InvokeKind kind, const std::vector<Variant>& args);
    static void ExpectMethod(const char* member, InvokeKind kind);

private:
    const Variant& At(size_t index) const;
    [[noreturn]] void TypeMismatch(size_t index, const char* expected) const;

    const char* m_pszMember;
    const std::vector<Variant>& m_args;
};
