#pragma once

#include <QString>

// The add-in library OrvikExcelToPDF.so beside the set-up tools, loaded by its
// absolute path (never through the library search path) to call one of its two
// argument-less entry points.
class CAddinLibrary {
public:
    static constexpr char kFileName[] = "OrvikExcelToPDF.so";
    static constexpr char kRegister[] = "DllRegisterServer";
    static constexpr char kUnregister[] = "DllUnregisterServer";

    // Loads folder/OrvikExcelToPDF.so, calls entryPoint and releases the library.
    // True when the entry point returned 0; otherwise *message is one sentence on
    // what failed (no file, not loadable, no such entry point, or its result).
    static bool Call(const QString& folder, const char* entryPoint, QString* message);
};
