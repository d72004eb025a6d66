#include "setup/addin/CalcExtension.h"

#include "setup/addin/ExtensionFiles.h"
#include "setup/addin/PrivateFolder.h"
#include "setup/addin/Unopkg.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <sstream>
#include <sys/stat.h>

namespace {

constexpr char kConverter[] = "orvik-xl2pdf";

bool Contains(const std::string& text, const char* part)
{
    return text.find(part) != std::string::npos;
}

// The line of unopkg's output that says what went wrong.
std::string ReasonIn(const std::string& output)
{
    std::istringstream lines(output);
    std::string last;
    for (std::string line; std::getline(lines, line);) {
        if (Contains(line, "ERROR:"))
            return line.substr(line.find("ERROR:") + 7);
        if (line.find_first_not_of(" \t\r") != std::string::npos)
            last = line;
    }
    return last;
}

std::string RunReason(const CUnopkg::Result& r)
{
    if (!r.ran)
        return r.problem;
    const std::string reason = ReasonIn(r.output);
    return reason.empty() ? "unopkg ended with exit code " + std::to_string(r.exitCode) : reason;
}

void ExtensionAnchor() {}

} // namespace

CCalcExtension::CCalcExtension(std::string libraryFolder)
    : m_strFolder(std::move(libraryFolder))
{
}

std::string CCalcExtension::LibraryFolder()
{
    Dl_info info{};
    char resolved[PATH_MAX];
    if (!::dladdr(reinterpret_cast<void*>(&ExtensionAnchor), &info) || !info.dli_fname
        || !::realpath(info.dli_fname, resolved))
        return {};
    const std::string path(resolved);
    return path.substr(0, path.rfind('/'));
}

uint32_t CCalcExtension::Fail(const std::string& action, const std::string& reason, const std::string& output) const
{
    std::string line = reason; // one line, whatever a path in it holds
    for (char& c : line)
        if (static_cast<unsigned char>(c) < 0x20)
            c = '?';
    std::fprintf(stderr, "Orvik Excel To PDF add-in: the Calc extension could not be %s: %s\n", action.c_str(),
                 line.c_str());
    std::fflush(stderr);
    return Contains(output, "write permission") || Contains(reason, "write permission") ? kAccessDenied : kFailed;
}

CCalcExtension::Listing CCalcExtension::List(const CUnopkg& unopkg, std::string* problem) const
{
    const CUnopkg::Result r = unopkg.Run({"list", "--shared", CExtensionFiles::kIdentifier});
    if (r.ran && Contains(r.output, (std::string("Identifier: ") + CExtensionFiles::kIdentifier).c_str()))
        return Listing::Listed;
    if (r.ran && Contains(r.output, "There is no such extension deployed"))
        return Listing::NotListed;
    *problem = RunReason(r);
    return Listing::Unknown;
}

uint32_t CCalcExtension::Register()
{
    const char* action = "installed";
    const std::string converter = m_strFolder + '/' + kConverter;
    if (!CExtensionFiles::IsUsablePath(converter))
        return Fail(action, "the converter's path " + converter + " holds a double quote or a control character", {});
    struct stat st{};
    if (::stat(converter.c_str(), &st) != 0)
        return Fail(action, "the converter " + converter + " is missing", {});

    CPrivateFolder work;
    std::string error;
    if (!work.Create(&error))
        return Fail(action, error, {});
    const std::string extension = work.Path() + "/extension";
    if (::mkdir(extension.c_str(), 0700) != 0 || !CExtensionFiles::WriteTo(extension, converter, &error))
        return Fail(action, error.empty() ? "cannot create " + extension : error, {});

    const CUnopkg unopkg(work.Path());
    const CUnopkg::Result added = unopkg.Run({"add", "--shared", "--force", "--suppress-license", extension});
    if (!added.ran || added.exitCode != 0)
        return Fail(action, RunReason(added), added.output);
    const Listing listing = List(unopkg, &error);
    if (listing != Listing::Listed)
        return Fail(action, listing == Listing::NotListed ? "the office does not list it after adding it" : error, {});
    return kDone;
}

uint32_t CCalcExtension::Unregister()
{
    const char* action = "removed";
    CPrivateFolder work;
    std::string error;
    if (!work.Create(&error))
        return Fail(action, error, {});
    const CUnopkg unopkg(work.Path());
    Listing listing = List(unopkg, &error);
    if (listing == Listing::NotListed)
        return kDone;
    if (listing == Listing::Unknown)
        return Fail(action, error, {});
    const CUnopkg::Result removed = unopkg.Run({"remove", "--shared", CExtensionFiles::kIdentifier});
    if (!removed.ran || removed.exitCode != 0)
        return Fail(action, RunReason(removed), removed.output);
    // Listing again also clears away the files that removing leaves behind.
    listing = List(unopkg, &error);
    if (listing != Listing::NotListed)
        return Fail(action, listing == Listing::Listed ? "the office still lists it after removing it" : error, {});
    return kDone;
}
