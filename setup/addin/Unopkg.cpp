#include "setup/addin/Unopkg.h"

#include <cctype>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

bool IsExecutable(const std::string& path)
{
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

std::string FolderOf(const std::string& path)
{
    return path.substr(0, path.rfind('/'));
}

// soffice on the search path, with its links resolved, names the office's folder.
std::string OfficeFolderFromPath()
{
    const char* path = std::getenv("PATH");
    std::istringstream dirs(path ? path : "/usr/bin:/bin");
    for (std::string dir; std::getline(dirs, dir, ':');) {
        char resolved[PATH_MAX];
        if (!dir.empty() && ::realpath((dir + "/soffice").c_str(), resolved))
            return FolderOf(resolved);
    }
    return {};
}

// A file URL for a local path, with every byte outside the unreserved set escaped.
std::string FileUrl(const std::string& path)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string url = "file://";
    for (unsigned char c : path) {
        if (std::isalnum(c) || std::strchr("/-._~", c)) {
            url += static_cast<char>(c);
        } else {
            url += '%';
            url += hex[c >> 4];
            url += hex[c & 15];
        }
    }
    return url;
}

std::vector<std::string> Environment(const std::string& workFolder)
{
    std::vector<std::string> env;
    for (char** e = environ; e && *e; ++e) {
        const std::string entry(*e);
        const std::string name = entry.substr(0, entry.find('='));
        if (name != "TMPDIR" && name != "XDG_CACHE_HOME" && name != "LC_ALL")
            env.push_back(entry);
    }
    env.push_back("TMPDIR=" + workFolder);
    env.push_back("XDG_CACHE_HOME=" + workFolder + "/cache");
    env.push_back("LC_ALL=C.UTF-8");
    return env;
}

std::vector<char*> Pointers(std::vector<std::string>& items)
{
    std::vector<char*> ptrs;
    for (std::string& s : items)
        ptrs.push_back(s.data());
    ptrs.push_back(nullptr);
    return ptrs;
}

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

CUnopkg::CUnopkg(std::string workFolder)
    : m_strWorkFolder(std::move(workFolder))
{
}

std::string CUnopkg::Locate()
{
    for (const std::string& folder : {std::string(ORVIK_OFFICE_PROGRAM_DIR), OfficeFolderFromPath()}) {
        if (!folder.empty() && IsExecutable(folder + "/unopkg"))
            return folder + "/unopkg";
    }
    return {};
}

std::vector<std::string> CUnopkg::SharedFolderOverrides() const
{
    const char* shared = std::getenv("ORVIK_ADDIN_SHARED_DIR");
    if (!shared || *shared != '/')
        return {};
    const std::string url = FileUrl(shared);
    return {"-env:UNO_SHARED_PACKAGES=" + url, "-env:UNO_SHARED_PACKAGES_CACHE=" + url + "/cache"};
}

CUnopkg::Result CUnopkg::Run(const std::vector<std::string>& arguments) const
{
    Result result;
    const std::string program = Locate();
    if (program.empty()) {
        result.problem = "the office's extension manager (unopkg) was not found; install libreoffice-calc";
        return result;
    }
    std::vector<std::string> args{program};
    args.insert(args.end(), arguments.begin(), arguments.end());
    for (const std::string& o : SharedFolderOverrides())
        args.push_back(o);
    std::vector<std::string> env = Environment(m_strWorkFolder);
    std::vector<char*> argv = Pointers(args);
    std::vector<char*> envp = Pointers(env);
    const std::string output = m_strWorkFolder + "/unopkg.out";
    ::mkdir((m_strWorkFolder + "/cache").c_str(), 0700);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attr, 0);
    pid_t pid = 0;
    const int rc = ::posix_spawn(&pid, program.c_str(), &actions, &attr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    if (rc != 0) {
        result.problem = program + " could not be started: " + std::strerror(rc);
        return result;
    }

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kLimitSeconds);
    // Waits without collecting it: while it is not collected, its group number
    // cannot be given to another process.
    bool ended = false;
    for (;;) {
        siginfo_t info{};
        ended = ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == pid;
        if (ended || std::chrono::steady_clock::now() >= deadline)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    // Whatever the run left behind in its group goes too.
    ::kill(-pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!ended) {
        result.problem = "unopkg did not end within " + std::to_string(kLimitSeconds) + " s and was stopped";
    } else {
        result.ran = true;
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    result.output = ReadAll(output);
    return result;
}
