#pragma once

#include "engine/ConversionPrompts.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>

// The questions of one run, passed on to the program's windows. While they are
// held (the Stop question is open) a question waits on the run's thread, also one
// already on its way to the window thread: it is asked once they are released.
// Once silenced (stopped or abandoned) nothing is shown any more: a replace
// question keeps the PDF, a password prompt is cancelled.
class CWorkerPrompts : public ConversionPrompts {
public:
    explicit CWorkerPrompts(ConversionPrompts* inner) : m_pInner(inner) {}

    // Any thread.
    void Hold();
    void Release();
    void Silence();
    bool Silenced() const;

    int ShowMessageBox(const QString& text, int type) override;
    void ShowPlainMessage(const QString& text) override;
    int AskWorkbookPassword(const QString& fileName, QString* password) override;

private:
    // Runs ask on the window thread once nothing holds the questions; silenced
    // instead when the run was silenced.
    int Ask(const std::function<int()>& ask, const std::function<int()>& silenced);
    void WaitWhileHeld();

    ConversionPrompts* m_pInner;
    mutable std::mutex m_mutex;
    std::condition_variable m_cvReleased;
    bool m_bHeld = false;
    bool m_bSilenced = false;
};
