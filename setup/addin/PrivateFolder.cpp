#include "setup/addin/PrivateFolder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

CPrivateFolder::~CPrivateFolder()
{
    if (!m_strPath.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_strPath, ignored);
    }
}

bool CPrivateFolder::Create(std::string* error)
{
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = (tmp && *tmp == '/' ? std::string(tmp) : std::string("/tmp")) + "/orvik-addin-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!::mkdtemp(buffer.data())) { // mkdtemp makes it 0700
        *error = "cannot create a temporary folder (" + pattern + "): " + std::strerror(errno);
        return false;
    }
    m_strPath = buffer.data();
    return true;
}
