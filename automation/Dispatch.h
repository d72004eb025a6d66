#pragma once

#include "automation/Variant.h"

#include <QString>

#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

// How a member is invoked.
enum InvokeKind : uint16_t {
    DISPATCH_METHOD = 1,
    DISPATCH_PROPERTYGET = 2,
    DISPATCH_PROPERTYPUT = 4,
};

// A failed automation call: the status code and a message for the user.
class DispatchException : public std::runtime_error {
public:
    DispatchException(int32_t code, const QString& message);
    int32_t Code() const { return m_nCode; }
    QString Message() const { return m_strMessage; }

private:
    int32_t m_nCode;
    QString m_strMessage;
};

// An automation object: members are reached by dispatch id. Arguments come in
// call order (the first argument first). A failure throws DispatchException.
class IDispatchObject {
public:
    virtual ~IDispatchObject() = default;
    virtual Variant Invoke(int32_t dispid, InvokeKind kind, const std::vector<Variant>& args) = 0;
};

// Holds one automation object and calls it by dispatch id. A driver that holds
// nothing does nothing: its calls return an empty value.
class CDispatchDriver {
public:
    CDispatchDriver() = default;
    explicit CDispatchDriver(std::shared_ptr<IDispatchObject> object) : m_lpDispatch(std::move(object)) {}

    void AttachDispatch(std::shared_ptr<IDispatchObject> object) { m_lpDispatch = std::move(object); }
    void ReleaseDispatch() { m_lpDispatch.reset(); }
    bool IsAttached() const { return m_lpDispatch != nullptr; }
    const std::shared_ptr<IDispatchObject>& Object() const { return m_lpDispatch; }

    Variant InvokeHelper(int32_t dispid, InvokeKind kind, const std::vector<Variant>& args = {});
    Variant GetProperty(int32_t dispid) { return InvokeHelper(dispid, DISPATCH_PROPERTYGET); }
    void SetProperty(int32_t dispid, const Variant& value) { InvokeHelper(dispid, DISPATCH_PROPERTYPUT, {value}); }
    // A property get whose result is an object: the object, or a DispatchException.
    std::shared_ptr<IDispatchObject> GetObjectProperty(int32_t dispid, const std::vector<Variant>& args = {});

private:
    std::shared_ptr<IDispatchObject> m_lpDispatch;
};

// Creation of automation objects by program identifier ("Excel.Application").
// The program registers its servers at start; a test may put its own server
// behind a name (Register replaces the factory; Unregister removes it).
class DispatchRegistry {
public:
    using Factory = std::function<std::shared_ptr<IDispatchObject>()>;

    static void Register(const QString& progId, Factory factory);
    static void Unregister(const QString& progId);
    // The new object, or null when nothing is registered or the factory fails
    // (a factory may also throw DispatchException; Create turns that into null
    // and fills *error).
    static std::shared_ptr<IDispatchObject> Create(const QString& progId, QString* error = nullptr);
};
