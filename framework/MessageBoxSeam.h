#pragma once

#include <QList>
#include <QString>

#include <optional>

// Seam for tests: while a MessageBoxSeam exists, every plain message box is not
// shown but recorded, and answered from the seam's queue of answers (when the queue
// is empty, with the box's default button: OK, Yes, Abort or Retry, or the one its
// default-button style names). The program itself never creates one. Safe to use
// from any thread; the newest seam is the one in force.
class MessageBoxSeam {
public:
    struct Question {
        QString text;
        QString caption;
        unsigned type = 0;
    };

    MessageBoxSeam();
    ~MessageBoxSeam();
    MessageBoxSeam(const MessageBoxSeam&) = delete;
    MessageBoxSeam& operator=(const MessageBoxSeam&) = delete;

    void QueueAnswer(int answer);
    QList<Question> Questions() const;

    // Used by the message box: the answer when a seam is in force, else nothing.
    static std::optional<int> Intercept(const Question& question);

private:
    MessageBoxSeam* m_previous = nullptr;
    QList<int> m_answers;
    QList<Question> m_questions;
};
