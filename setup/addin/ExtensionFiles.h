#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The files of the Calc extension (setup/addin/extension), compiled into the
// add-in library, and writing them out as an unpacked extension folder.
class CExtensionFiles {
public:
    struct File {
        const char* path; // relative to the extension's folder
        const unsigned char* data;
        std::size_t size;
    };

    static constexpr char kIdentifier[] = "example.orvik-software.excel-to-pdf";

    // Every file as it is in the source tree (generated at build time).
    static const std::vector<File>& All();

    // Writes the extension into folder (which must exist): the Basic module gets
    // converterPath in place of its marker and becomes the office's module file.
    // False, with *error, when a file cannot be written.
    static bool WriteTo(const std::string& folder, const std::string& converterPath, std::string* error);

    // A path the Basic module can hold in a string: no double quote and no
    // control character.
    static bool IsUsablePath(const std::string& path);

    // The office's module file (.xba) of a Basic source.
    static std::string BasicModule(const std::string& name, const std::string& source);
};
