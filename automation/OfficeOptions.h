#pragma once

#include <chrono>

class StopGate;

// How the office process behind "Excel.Application" is run.
struct OfficeOptions {
    // Longest time one call into the office may take before the office is
    // taken for hung and ended (loading a large workbook, printing a sheet).
    std::chrono::milliseconds callTimeout{std::chrono::seconds(120)};
    // Longest time from starting the office until it answers.
    std::chrono::milliseconds startTimeout{std::chrono::seconds(60)};
    // When set, a stop requested on the gate ends the office at once.
    StopGate* stopGate = nullptr;
};
