#pragma once

#include "engine/ConversionPrompts.h"

#include <QString>

#include <atomic>
#include <cstdio>

class WakePipe;

// The run's questions answered for the command line: an existing PDF is
// replaced only when --overwrite was given; a workbook that refuses to open
// gets the password of --workbook-password-file once, then the terminal
// (/dev/tty, echo off) asks for it while it is refused; without a terminal the
// workbook is skipped. A question ends unanswered once stop is woken. Messages
// go to standard error.
class TerminalPrompts : public ConversionPrompts {
public:
    TerminalPrompts(const WakePipe& stop, bool overwrite, bool havePassword, const QString& password,
                    FILE* messages = stderr);
    ~TerminalPrompts() override = default;
    TerminalPrompts(const TerminalPrompts&) = delete;
    TerminalPrompts& operator=(const TerminalPrompts&) = delete;

    int ShowMessageBox(const QString& text, int type) override;
    void ShowPlainMessage(const QString& text) override;
    int AskWorkbookPassword(const QString& fileName, QString* password) override;

    // A new workbook: its first refused open gets the file's password again.
    void NewWorkbook();
    // True when a workbook was skipped because nobody could be asked for its password.
    bool NoOneToAsk() const { return m_bNoOneToAsk; }
    // True when the current workbook refused the password of --workbook-password-file.
    bool FilePasswordRefused() const { return m_bFileTried; }

private:
    // Reads one line from the terminal with echo off; false on end of input,
    // interruption, or when there is no terminal.
    bool ReadFromTerminal(const QString& prompt, QString* line);

    const WakePipe& m_stop;
    bool m_bOverwrite;
    bool m_bHavePassword;
    QString m_strPassword;
    FILE* m_pMessages;
    bool m_bFileTried = false;
    int m_nTerminalAsks = 0;
    std::atomic<bool> m_bNoOneToAsk{false};
};
