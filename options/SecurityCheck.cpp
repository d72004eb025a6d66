#include "options/SecurityCheck.h"

#include "engine/GhostscriptCommand.h"
#include "options/ConversionOptions.h"

QString SecurityProblem(const ConversionOptions& options)
{
    if (!options.m_bEnableSecurity)
        return QString();
    // Without an owner password the PDF would be written unprotected.
    if (!options.m_bOwnerPassword || options.m_strOwnerPassword.isEmpty())
        return QStringLiteral("Security needs an owner password: check \"Enable Owner Password\" and type one.");
    // An empty user password opens the PDF without asking.
    if (options.m_bUserPassword && options.m_strUserPassword.isEmpty())
        return QStringLiteral("\"Enable User Password\" is checked but the user password is empty.");
    return GhostscriptCommand::CheckPasswords(options);
}
