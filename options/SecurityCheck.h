#pragma once

#include <QString>

struct ConversionOptions;

// Why the security settings cannot be used as they stand, as the text shown to
// the user; empty when they can (or security is off). Refused: security on
// without an owner password, an enabled user password left empty, and passwords
// a PDF cannot hold.
QString SecurityProblem(const ConversionOptions& options);
