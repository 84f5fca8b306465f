#pragma once

#include "platform/Dialogs.h"

#include <QList>

namespace zo::test {

// Answers the program's message boxes while it lives: with the queued answers in order, then
// with the box's last button (No, Cancel or OK: the harmless choice). Keeps every request.
class DialogRecorder
{
public:
    DialogRecorder()
    {
        setMessageAnswerer([this](const MessageRequest& request) {
            requests << request;
            if (!answers.isEmpty())
                return answers.takeFirst();
            return request.buttons.isEmpty() ? MessageButton::None : request.buttons.last();
        });
    }
    ~DialogRecorder() { setMessageAnswerer({}); }
    DialogRecorder(const DialogRecorder&) = delete;
    DialogRecorder& operator=(const DialogRecorder&) = delete;

    QStringList texts() const
    {
        QStringList shown;
        for (const MessageRequest& request : requests)
            shown << request.text;
        return shown;
    }

    QList<MessageButton> answers;
    QList<MessageRequest> requests;
};

} // namespace zo::test
