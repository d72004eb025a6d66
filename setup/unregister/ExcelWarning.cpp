#include "setup/unregister/ExcelWarning.h"

#include "framework/MessageBox.h"
#include "framework/WindowsCodes.h"

#include <QApplication>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kProbeLimitMs = 5000;

void PrintText(const QString& text, const QString& caption)
{
    std::fprintf(stderr, "%s: %s\n", caption.toLocal8Bit().constData(), text.toLocal8Bit().constData());
    std::fflush(stderr);
}

void WaitForEnter()
{
    std::fprintf(stderr, "Press Enter to go on.\n");
    std::fflush(stderr);
    for (int c = std::getchar(); c != '\n' && c != EOF; c = std::getchar()) {
    }
}

} // namespace

bool CExcelWarning::DisplayAvailable()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return false;
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child < 0)
        return false;
    if (child == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 2);
        int argc = 1;
        char name[] = "OrvikUnregister";
        char* argv[] = {name, nullptr};
        QApplication probe(argc, argv);
        ::_exit(0);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kProbeLimitMs);
    int status = 0;
    while (::waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void CExcelWarning::Show(const QString& text, const QString& caption)
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
        MessageBox(nullptr, text, caption, MB_OK);
        return;
    }
    if (!QCoreApplication::instance() && DisplayAvailable()) {
        int argc = 1;
        char name[] = "OrvikUnregister";
        char* argv[] = {name, nullptr};
        QApplication app(argc, argv);
        MessageBox(nullptr, text, caption, MB_OK);
        return;
    }
    PrintText(text, caption);
    if (::isatty(STDIN_FILENO) && ::isatty(STDERR_FILENO))
        WaitForEnter();
}
