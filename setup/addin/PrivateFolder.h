#pragma once

#include <string>

// A fresh folder only its owner can enter (mode 0700) in the temporary folder,
// removed with everything in it when the object goes.
class CPrivateFolder {
public:
    CPrivateFolder() = default;
    ~CPrivateFolder();
    CPrivateFolder(const CPrivateFolder&) = delete;
    CPrivateFolder& operator=(const CPrivateFolder&) = delete;

    // False, with *error, when it cannot be made.
    bool Create(std::string* error);
    const std::string& Path() const { return m_strPath; }

private:
    std::string m_strPath;
};
