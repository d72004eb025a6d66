#include "convert_page/WorkerPrompts.h"

#include "framework/UiThread.h"
#include "framework/WindowsCodes.h"

void CWorkerPrompts::Hold()
{
    std::lock_guard lock(m_mutex);
    m_bHeld = true;
}

void CWorkerPrompts::Release()
{
    std::lock_guard lock(m_mutex);
    m_bHeld = false;
    m_cvReleased.notify_all();
}

void CWorkerPrompts::Silence()
{
    std::lock_guard lock(m_mutex);
    m_bSilenced = true;
    m_cvReleased.notify_all();
}

bool CWorkerPrompts::Silenced() const
{
    std::lock_guard lock(m_mutex);
    return m_bSilenced;
}

void CWorkerPrompts::WaitWhileHeld()
{
    if (IsUiThread())
        return; // asked by the window itself: nothing to wait for
    std::unique_lock lock(m_mutex);
    m_cvReleased.wait(lock, [this] { return !m_bHeld || m_bSilenced; });
}

int CWorkerPrompts::Ask(const std::function<int()>& ask, const std::function<int()>& silenced)
{
    const bool fromWindow = IsUiThread();
    for (;;) {
        WaitWhileHeld();
        // Looked at again on the window thread, where the question would show: a
        // hold that came meanwhile sends it back to wait.
        const std::optional<int> answer = RunOnUiThread([&]() -> std::optional<int> {
            bool held = false;
            {
                std::lock_guard lock(m_mutex);
                if (m_bSilenced || !m_pInner)
                    return silenced();
                held = m_bHeld;
            }
            if (held && !fromWindow)
                return std::nullopt;
            return ask();
        });
        if (answer)
            return *answer;
    }
}

int CWorkerPrompts::ShowMessageBox(const QString& text, int type)
{
    return Ask([&] { return m_pInner->ShowMessageBox(text, type); }, [] { return IDNO; });
}

void CWorkerPrompts::ShowPlainMessage(const QString& text)
{
    Ask(
        [&] {
            m_pInner->ShowPlainMessage(text);
            return IDOK;
        },
        [] { return IDOK; });
}

int CWorkerPrompts::AskWorkbookPassword(const QString& fileName, QString* password)
{
    return Ask([&] { return m_pInner->AskWorkbookPassword(fileName, password); },
               [password] {
                   if (password)
                       password->clear();
                   return IDCANCEL;
               });
}
