#pragma once

#include "framework/MessageBoxSeam.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

// Seam for tests: while a CPromptSeam exists, the program's questions are not
// shown but recorded and answered from its queues, so whole conversions run
// without a person. It covers the skinned message box (ShowMessageBox), the
// plain message box (through the framework's MessageBoxSeam, which it holds)
// and the workbook password prompt. The program itself never creates one.
// Thread-safe; the newest seam is the one in force.
//
// Unqueued questions get the answer of the default button: 6 for the skinned
// box and the plain box's default; the password prompt is cancelled (2), so a
// forgotten answer cannot make a conversion retry for ever.
class CPromptSeam {
public:
    enum class Kind { MessageBox, Password };
    struct Question {
        Kind kind = Kind::MessageBox;
        QString text; // the box's text, or the prompt's file name
        int type = 0; // the box's type
        bool answeredOnUiThread = false;
    };
    struct PasswordAnswer {
        int result = 2;
        QString password;
    };

    CPromptSeam();
    ~CPromptSeam();
    CPromptSeam(const CPromptSeam&) = delete;
    CPromptSeam& operator=(const CPromptSeam&) = delete;

    void QueueMessageBoxAnswer(int answer);
    // The next skinned box is answered by calling answer on the window thread
    // when it is asked (a test can show a real box there, or act first).
    void QueueMessageBoxAnswer(std::function<int(const QString& text)> answer);
    void QueuePlainAnswer(int answer) { m_plain.QueueAnswer(answer); }
    void QueuePasswordAnswer(int result, const QString& password = QString());

    // The skinned boxes and password prompts asked so far, in order.
    QList<Question> Questions() const;
    QList<MessageBoxSeam::Question> PlainQuestions() const { return m_plain.Questions(); }

    // Used by the program's questions: the answer when a seam is in force.
    static std::optional<int> InterceptMessageBox(const QString& text, int type);
    static std::optional<PasswordAnswer> InterceptPassword(const QString& fileName);

private:
    MessageBoxSeam m_plain;
    CPromptSeam* m_previous = nullptr;
    QList<std::function<int(const QString&)>> m_boxAnswers;
    QList<PasswordAnswer> m_passwordAnswers;
    QList<Question> m_questions;
};
