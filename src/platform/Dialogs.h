#pragma once

#include <QList>
#include <QString>
#include <functional>

class QWidget;

namespace zo {

enum class MessageIcon
{
    Error,
    Confirmation,
    Information,
    Warning
};
enum class MessageButton
{
    None,
    Ok,
    Cancel,
    Yes,
    No
};

struct MessageRequest
{
    MessageIcon icon = MessageIcon::Information;
    QString text;
    QList<MessageButton> buttons;
};

// Every modal message box of the program passes through here, so that tests can answer it
// without a real modal loop. Returns the button the user pressed (or None when the box was
// closed without one).
MessageButton showMessage(QWidget* parent, const MessageRequest& request);

// Shorthands for the kinds of boxes the program shows.
bool askYesNo(QWidget* parent, const QString& question);
void showErrorCancel(QWidget* parent, const QString& text);
void showErrorOk(QWidget* parent, const QString& text);

// Replaces the real box. Tests install one that records the request and returns an answer;
// an empty function restores the real box. Returns the one it replaces.
using MessageAnswerer = std::function<MessageButton(const MessageRequest&)>;
MessageAnswerer setMessageAnswerer(MessageAnswerer answerer);

} // namespace zo
