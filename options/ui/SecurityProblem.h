#pragma once

#include <QString>

class CSecurityDlg;

// Why the security settings the Security page shows now (its controls, not its
// members) cannot be used, or empty when they can or security is off. Window
// thread only.
QString SecurityProblem(const CSecurityDlg& security);
