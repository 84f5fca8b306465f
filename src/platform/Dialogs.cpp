#include "platform/Dialogs.h"

#include <QMessageBox>
#include <utility>

namespace zo {
namespace {

MessageAnswerer& answerer()
{
    static MessageAnswerer instance;
    return instance;
}

QMessageBox::Icon boxIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Confirmation:
        return QMessageBox::Question;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Information:
        break;
    }
    return QMessageBox::Information;
}

QMessageBox::StandardButton boxButton(MessageButton button)
{
    switch (button) {
    case MessageButton::Ok:
        return QMessageBox::Ok;
    case MessageButton::Cancel:
        return QMessageBox::Cancel;
    case MessageButton::Yes:
        return QMessageBox::Yes;
    case MessageButton::No:
        return QMessageBox::No;
    case MessageButton::None:
        break;
    }
    return QMessageBox::NoButton;
}

MessageButton pressedButton(int result)
{
    switch (result) {
    case QMessageBox::Ok:
        return MessageButton::Ok;
    case QMessageBox::Cancel:
        return MessageButton::Cancel;
    case QMessageBox::Yes:
        return MessageButton::Yes;
    case QMessageBox::No:
        return MessageButton::No;
    default:
        return MessageButton::None;
    }
}

MessageButton runRealBox(QWidget* parent, const MessageRequest& request)
{
    QMessageBox box(boxIcon(request.icon), QMessageBox::tr("Corvane Zo FTP Client"), request.text,
                    QMessageBox::NoButton, parent);
    for (MessageButton button : request.buttons)
        box.addButton(boxButton(button));
    return pressedButton(box.exec());
}

} // namespace

MessageButton showMessage(QWidget* parent, const MessageRequest& request)
{
    if (answerer())
        return answerer()(request);
    return runRealBox(parent, request);
}

bool askYesNo(QWidget* parent, const QString& question)
{
    const MessageRequest request{
        MessageIcon::Confirmation, question, {MessageButton::Yes, MessageButton::No}};
    return showMessage(parent, request) == MessageButton::Yes;
}

void showErrorCancel(QWidget* parent, const QString& text)
{
    showMessage(parent, {MessageIcon::Error, text, {MessageButton::Cancel}});
}

void showErrorOk(QWidget* parent, const QString& text)
{
    showMessage(parent, {MessageIcon::Error, text, {MessageButton::Ok}});
}

MessageAnswerer setMessageAnswerer(MessageAnswerer newAnswerer)
{
    return std::exchange(answerer(), std::move(newAnswerer));
}

} // namespace zo
