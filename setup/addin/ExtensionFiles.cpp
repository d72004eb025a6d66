#include "setup/addin/ExtensionFiles.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sys/stat.h>

namespace {

constexpr char kConverterMarker[] = "@ORVIK_XL2PDF@";
constexpr char kBasicSuffix[] = ".bas";

std::string XmlEscaped(const std::string& text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default: out += c;
        }
    }
    return out;
}

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool MakeParents(const std::string& folder, const std::string& relative, std::string* error)
{
    for (std::size_t slash = relative.find('/'); slash != std::string::npos; slash = relative.find('/', slash + 1)) {
        const std::string dir = folder + '/' + relative.substr(0, slash);
        if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) {
            *error = "cannot create " + dir + ": " + std::strerror(errno);
            return false;
        }
    }
    return true;
}

bool WriteFile(const std::string& path, const std::string& content, std::string* error)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.close();
    if (!out) {
        *error = "cannot write " + path;
        return false;
    }
    return true;
}

} // namespace

bool CExtensionFiles::IsUsablePath(const std::string& path)
{
    for (unsigned char c : path)
        if (c == '"' || c < 0x20 || c == 0x7f)
            return false;
    return !path.empty();
}

std::string CExtensionFiles::BasicModule(const std::string& name, const std::string& source)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<!DOCTYPE script:module PUBLIC \"-//OpenOffice.org//DTD OfficeDocument 1.0//EN\" \"module.dtd\">\n"
           "<script:module xmlns:script=\"http://openoffice.org/2000/script\" script:name=\""
        + XmlEscaped(name) + "\" script:language=\"StarBasic\">" + XmlEscaped(source) + "</script:module>\n";
}

bool CExtensionFiles::WriteTo(const std::string& folder, const std::string& converterPath, std::string* error)
{
    for (const File& f : All()) {
        std::string relative = f.path;
        std::string content(reinterpret_cast<const char*>(f.data), f.size);
        if (EndsWith(relative, kBasicSuffix)) {
            const std::size_t at = content.find(kConverterMarker);
            if (at != std::string::npos)
                content.replace(at, std::strlen(kConverterMarker), converterPath);
            relative.resize(relative.size() - std::strlen(kBasicSuffix));
            const std::string name = relative.substr(relative.rfind('/') + 1);
            content = BasicModule(name, content);
            relative += ".xba";
        }
        if (!MakeParents(folder, relative, error) || !WriteFile(folder + '/' + relative, content, error))
            return false;
    }
    return true;
}
