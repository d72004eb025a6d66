#pragma once

#include <cstdint>
#include <string>

class CUnopkg;

// The add-in's job: install the Calc extension "Orvik Excel To PDF" for all users
// of the office (unopkg --shared) and remove it again. The extension's command
// runs the orvik-xl2pdf beside the add-in library. Each failure is one line on
// standard error and a failure code.
class CCalcExtension {
public:
    static constexpr uint32_t kDone = 0;
    static constexpr uint32_t kFailed = 0x80004005;       // E_FAIL
    static constexpr uint32_t kAccessDenied = 0x80070005; // E_ACCESSDENIED

    // libraryFolder: where the add-in library and orvik-xl2pdf are installed.
    explicit CCalcExtension(std::string libraryFolder);

    // Installs or replaces the extension and checks that the office lists it.
    uint32_t Register();
    // Removes the extension when it is there and checks that it is gone.
    uint32_t Unregister();

    // The folder of the add-in library itself (links resolved).
    static std::string LibraryFolder();

private:
    enum class Listing { Listed, NotListed, Unknown };
    Listing List(const CUnopkg& unopkg, std::string* problem) const;
    uint32_t Fail(const std::string& action, const std::string& reason, const std::string& output) const;

    std::string m_strFolder;
};
