#pragma once

// Tests that need a real outside program (Ghostscript, LibreOffice, CUPS, qpdf,
// poppler). Under ./test.sh and in CI (ORVIK_REQUIRE_REAL_TOOLS=1) a missing
// tool is a failure; elsewhere the test is skipped with a loud reason.
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <cstdlib>
#include <gtest/gtest.h>

namespace testsupport {

inline bool RealToolsRequired()
{
    const char* v = std::getenv("ORVIK_REQUIRE_REAL_TOOLS");
    return v && *v && std::string(v) != "0";
}

inline bool HaveProgram(const char* name)
{
    return !QStandardPaths::findExecutable(QString::fromLatin1(name)).isEmpty();
}

// What a tool wrote on its standard output (and, when asked, its standard error).
inline QString ToolOutput(const QString& program, const QStringList& args, int timeoutMs = 60000,
                          bool withErrors = false)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(timeoutMs);
    const QByteArray out = p.readAllStandardOutput();
    return QString::fromUtf8(withErrors ? out + p.readAllStandardError() : out);
}

} // namespace testsupport

// Use at the top of a test body: ORVIK_REQUIRE_TOOL(HaveProgram("gs"), "Ghostscript (gs)");
#define ORVIK_REQUIRE_TOOL(available, what)                                                      \
    do {                                                                                         \
        if (!(available)) {                                                                      \
            if (testsupport::RealToolsRequired())                                                \
                FAIL() << "Required tool missing: " << (what)                                    \
                       << " (./test.sh should have installed it)";                               \
            std::fprintf(stderr, "\n*** SKIPPED: %s is not available; run ./test.sh to install "   \
                                 "it and run this test for real ***\n", (what));                 \
            GTEST_SKIP() << (what) << " not available outside ./test.sh";                        \
        }                                                                                        \
    } while (0)
