#include "app/PromptSeam.h"

#include "framework/UiThread.h"

#include <QMutex>
#include <QMutexLocker>

namespace {

constexpr int kDefaultBoxAnswer = 6; // button 1, the default button

QMutex& SeamMutex()
{
    static QMutex mutex;
    return mutex;
}

CPromptSeam*& Current()
{
    static CPromptSeam* current = nullptr;
    return current;
}

} // namespace

CPromptSeam::CPromptSeam()
{
    QMutexLocker lock(&SeamMutex());
    m_previous = Current();
    Current() = this;
}

CPromptSeam::~CPromptSeam()
{
    QMutexLocker lock(&SeamMutex());
    if (Current() == this)
        Current() = m_previous;
}

void CPromptSeam::QueueMessageBoxAnswer(int answer)
{
    QueueMessageBoxAnswer([answer](const QString&) { return answer; });
}

void CPromptSeam::QueueMessageBoxAnswer(std::function<int(const QString& text)> answer)
{
    QMutexLocker lock(&SeamMutex());
    m_boxAnswers.append(std::move(answer));
}

void CPromptSeam::QueuePasswordAnswer(int result, const QString& password)
{
    QMutexLocker lock(&SeamMutex());
    m_passwordAnswers.append({result, password});
}

QList<CPromptSeam::Question> CPromptSeam::Questions() const
{
    QMutexLocker lock(&SeamMutex());
    return m_questions;
}

std::optional<int> CPromptSeam::InterceptMessageBox(const QString& text, int type)
{
    std::function<int(const QString&)> answer;
    {
        QMutexLocker lock(&SeamMutex());
        CPromptSeam* seam = Current();
        if (!seam)
            return std::nullopt;
        seam->m_questions.append({Kind::MessageBox, text, type, IsUiThread()});
        if (seam->m_boxAnswers.isEmpty())
            return kDefaultBoxAnswer;
        answer = seam->m_boxAnswers.takeFirst();
    }
    // Called without the lock: the answer may run an event loop, in which the
    // run asks further questions.
    return answer(text);
}

std::optional<CPromptSeam::PasswordAnswer> CPromptSeam::InterceptPassword(const QString& fileName)
{
    QMutexLocker lock(&SeamMutex());
    CPromptSeam* seam = Current();
    if (!seam)
        return std::nullopt;
    seam->m_questions.append({Kind::Password, fileName, 0, IsUiThread()});
    return seam->m_passwordAnswers.isEmpty() ? PasswordAnswer{} : seam->m_passwordAnswers.takeFirst();
}
