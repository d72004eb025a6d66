#include "framework/MessageBoxSeam.h"

#include "framework/WindowsCodes.h"

#include <QMutex>
#include <QMutexLocker>

namespace {
QMutex& SeamMutex()
{
    static QMutex mutex;
    return mutex;
}

MessageBoxSeam*& Current()
{
    static MessageBoxSeam* current = nullptr;
    return current;
}

// The button that Enter would press.
int DefaultAnswer(unsigned type)
{
    static const int buttons[][3] = {
        {IDOK, IDOK, IDOK},          {IDOK, IDCANCEL, IDCANCEL},  {IDABORT, IDRETRY, IDIGNORE},
        {IDYES, IDNO, IDCANCEL},     {IDYES, IDNO, IDNO},         {IDRETRY, IDCANCEL, IDCANCEL},
    };
    const unsigned kind = type & MB_TYPEMASK;
    const unsigned index = (type & MB_DEFMASK) >> 8;
    if (kind > MB_RETRYCANCEL || index > 2)
        return IDOK;
    return buttons[kind][index];
}
} // namespace

MessageBoxSeam::MessageBoxSeam()
{
    QMutexLocker lock(&SeamMutex());
    m_previous = Current();
    Current() = this;
}

MessageBoxSeam::~MessageBoxSeam()
{
    QMutexLocker lock(&SeamMutex());
    if (Current() == this)
        Current() = m_previous;
}

void MessageBoxSeam::QueueAnswer(int answer)
{
    QMutexLocker lock(&SeamMutex());
    m_answers.append(answer);
}

QList<MessageBoxSeam::Question> MessageBoxSeam::Questions() const
{
    QMutexLocker lock(&SeamMutex());
    return m_questions;
}

std::optional<int> MessageBoxSeam::Intercept(const Question& question)
{
    QMutexLocker lock(&SeamMutex());
    MessageBoxSeam* seam = Current();
    if (!seam)
        return std::nullopt;
    seam->m_questions.append(question);
    if (seam->m_answers.isEmpty())
        return DefaultAnswer(question.type);
    return seam->m_answers.takeFirst();
}
