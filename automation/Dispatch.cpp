#include "automation/Dispatch.h"

#include <QHash>

#include <mutex>

DispatchException::DispatchException(int32_t code, const QString& message)
    : std::runtime_error(message.toStdString()), m_nCode(code), m_strMessage(message)
{
}

Variant CDispatchDriver::InvokeHelper(int32_t dispid, InvokeKind kind, const std::vector<Variant>& args)
{
    if (!m_lpDispatch)
        return {};
    return m_lpDispatch->Invoke(dispid, kind, args);
}

std::shared_ptr<IDispatchObject> CDispatchDriver::GetObjectProperty(int32_t dispid,
                                                                    const std::vector<Variant>& args)
{
    if (!m_lpDispatch)
        return {};
    Variant result = m_lpDispatch->Invoke(dispid, DISPATCH_PROPERTYGET, args);
    if (result.vt != VT_DISPATCH || !result.pdispVal)
        throw DispatchException(DISP_E_TYPEMISMATCH,
                                QStringLiteral("Member %1 did not return an object.").arg(dispid));
    return result.pdispVal;
}

namespace {
std::mutex g_registryMutex;
QHash<QString, DispatchRegistry::Factory>& Factories()
{
    static QHash<QString, DispatchRegistry::Factory> factories;
    return factories;
}
} // namespace

void DispatchRegistry::Register(const QString& progId, Factory factory)
{
    std::lock_guard lock(g_registryMutex);
    Factories().insert(progId, std::move(factory));
}

void DispatchRegistry::Unregister(const QString& progId)
{
    std::lock_guard lock(g_registryMutex);
    Factories().remove(progId);
}

std::shared_ptr<IDispatchObject> DispatchRegistry::Create(const QString& progId, QString* error)
{
    Factory factory;
    {
        std::lock_guard lock(g_registryMutex);
        factory = Factories().value(progId);
    }
    if (!factory) {
        if (error)
            *error = QStringLiteral("No automation server is registered as \"%1\".").arg(progId);
        return {};
    }
    try {
        std::shared_ptr<IDispatchObject> object = factory();
        if (!object && error)
            *error = QStringLiteral("The automation server \"%1\" could not be started.").arg(progId);
        return object;
    } catch (const DispatchException& e) {
        if (error)
            *error = e.Message();
        return {};
    }
}
