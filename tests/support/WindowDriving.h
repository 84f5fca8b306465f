#pragma once

#include "app/ZoFtpForm.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QStringList>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <QtTest>
#include <functional>

namespace zo::test {

// Drops local files on a window as the desktop shell does; returns whether the window took the
// drag at all.
inline bool dropFiles(QWidget& window, const QStringList& paths)
{
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    QMimeData data;
    data.setUrls(urls);
    const QPoint at = window.rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &drop);
    return true;
}

// Points the window at an instrument: the FTP port for every item, the address as if typed.
inline void pointAt(TZoFtpForm& form, int port,
                    const QString& address = QStringLiteral("127.0.0.1"))
{
    qputenv("ZOFTP_PORT", QByteArray::number(port));
    form.ZoIPAddress->setEditText(address);
}

// Types a new address over the old one, as the user does: every keystroke raises the change.
inline void typeAddress(TZoFtpForm& form, const QString& address)
{
    form.ZoIPAddress->lineEdit()->selectAll();
    QTest::keyClicks(form.ZoIPAddress->lineEdit(), address);
}

// Shows a page and presses a button on it.
inline void press(TZoFtpForm& form, QWidget* page, QAbstractButton* button)
{
    form.MainPager->setCurrentWidget(page);
    QTest::mouseClick(button, Qt::LeftButton);
}

inline QSize pictureSize(const TZoFtpForm& form)
{
    return form.ScreenDumpImage->pixmap().size();
}

// Runs an action once, the first time a condition holds while the window waits in a batch.
class WhenSeen : public QObject
{
public:
    WhenSeen(std::function<bool()> condition, std::function<void()> action)
        : m_condition(std::move(condition)), m_action(std::move(action))
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            if (done || !m_condition())
                return;
            done = true;
            m_timer.stop();
            m_action();
        });
        m_timer.start(20);
    }
    bool done = false;

private:
    QTimer m_timer;
    std::function<bool()> m_condition;
    std::function<void()> m_action;
};

} // namespace zo::test
