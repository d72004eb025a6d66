#pragma once

#include "automation/OfficeOptions.h"

// Registers the server behind "Excel.Application" (LibreOffice Calc over UNO)
// with DispatchRegistry. Each object it creates uses the office of the
// OfficeSession held at that time, or else starts an office of its own that
// its Quit ends. Creation fails (DispatchRegistry::Create returns null) when
// the office cannot be started.
void RegisterOfficeServer();

// The options of offices started without a session (default: OfficeOptions{}).
void SetDefaultOfficeOptions(const OfficeOptions& options);
OfficeOptions DefaultOfficeOptions();
