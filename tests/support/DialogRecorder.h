#pragma once

#include "platform/Dialogs.h"

#include <QList>
#include <QtTest>

namespace zo::test {

// Answers the program's message boxes while it lives: with the queued answers in order, then
// with the box's last button (No, Cancel or OK: the harmless choice). Keeps every request.
class DialogRecorder
{
public:
    DialogRecorder()
    {
        m_previous = setMessageAnswerer([this](const MessageRequest& request) {
            requests << request;
            if (!answers.isEmpty())
                return answers.takeFirst();
            return request.buttons.isEmpty() ? MessageButton::None : request.buttons.last();
        });
    }
    ~DialogRecorder() { setMessageAnswerer(m_previous); }
    DialogRecorder(const DialogRecorder&) = delete;
    DialogRecorder& operator=(const DialogRecorder&) = delete;

    QStringList texts() const
    {
        QStringList shown;
        for (const MessageRequest& request : requests)
            shown << request.text;
        return shown;
    }

    // Whether the one box shown was the confirmation that asks this question, with Yes and No.
    bool askedOnce(const QString& question) const
    {
        return requests.size() == 1 && requests.first().text == question &&
               requests.first().icon == MessageIcon::Confirmation &&
               requests.first().buttons ==
                   QList<MessageButton>{MessageButton::Yes, MessageButton::No};
    }

    QList<MessageButton> answers;
    QList<MessageRequest> requests;

private:
    MessageAnswerer m_previous;
};

// Outside a DialogRecorder a message box is a test failure, never a box that waits for a
// person who is not there.
inline void failOnUnexpectedDialogs()
{
    setMessageAnswerer([](const MessageRequest& request) {
        QTest::qFail(qPrintable(QStringLiteral("unexpected message box: ") + request.text),
                     __FILE__, __LINE__);
        return request.buttons.isEmpty() ? MessageButton::None : request.buttons.last();
    });
}

} // namespace zo::test
