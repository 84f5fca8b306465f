#include "app/Settings.h"

#include "platform/Dialogs.h"

#include <QCloseEvent>
#include <QFile>
#include <QScreen>
#include <QSettings>
#include <QWidget>

namespace zo {
namespace {

const QString kFormSection = QStringLiteral("CvRemoteSkt/");

enum class StoredState
{
    Normal = 0,
    Minimized = 1,
    Maximized = 2
};

StoredState stateOf(const QWidget* window)
{
    if (window->isMinimized())
        return StoredState::Minimized;
    if (window->isMaximized())
        return StoredState::Maximized;
    return StoredState::Normal;
}

QByteArray fileContent(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int pixelsPerInch(const QWidget* window)
{
    const QScreen* screen = window->screen();
    return screen ? qRound(screen->logicalDotsPerInch()) : 96;
}

} // namespace

SettingsStore::SettingsStore(QObject* parent)
    : QObject(parent), m_settings(std::make_unique<QSettings>(QStringLiteral("Corvane"),
                                                              QStringLiteral("FTPClient")))
{}

SettingsStore::~SettingsStore() = default;

QVariant SettingsStore::read(const QString& path) const
{
    if (m_settings->status() != QSettings::NoError)
        return {};
    return m_settings->value(path);
}

void SettingsStore::write(const QString& path, const QVariant& value)
{
    m_settings->setValue(path, value);
}

QString SettingsStore::flush()
{
    const QString fileName = m_settings->fileName();
    const QByteArray before = fileContent(fileName);
    m_settings->sync();
    switch (m_settings->status()) {
    case QSettings::NoError:
        return {};
    case QSettings::AccessError:
        return tr("The settings could not be saved to %1: access denied.")
            .arg(m_settings->fileName());
    case QSettings::FormatError:
        // the damage was read from the old file; a sync that rewrote the file replaced it
        if (fileContent(fileName) != before)
            return {};
        return tr("The settings could not be saved to %1: the stored settings are damaged.")
            .arg(m_settings->fileName());
    }
    return {};
}

FormStorage::FormStorage(QWidget* window, SettingsStore* store)
    : QObject(window), m_window(window), m_store(store)
{
    window->installEventFilter(this);
}

FormStorage::~FormStorage() = default;

void FormStorage::addStoredValue(StoredValue value)
{
    m_values.push_back(std::move(value));
}

QString FormStorage::path(const QString& name) const
{
    return kFormSection + name;
}

bool FormStorage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window) {
        if (event->type() == QEvent::Show && !m_restored)
            restore();
        else if (event->type() == QEvent::Close && event->isAccepted()) {
            const QString problem = save();
            if (!problem.isEmpty())
                showErrorOk(m_window, problem);
        }
    }
    return QObject::eventFilter(watched, event);
}

void FormStorage::restore()
{
    m_restored = true;
    bool versionRead = false;
    const int storedVersion =
        m_store->read(path(QStringLiteral("FormVersion"))).toInt(&versionRead);
    if (!versionRead || storedVersion >= kFormVersion) {
        restorePlacement();
        for (const StoredValue& value : m_values) {
            const QVariant stored = m_store->read(path(value.name));
            if (stored.isValid())
                value.set(stored);
        }
    }
    Q_EMIT afterRestorePlacement();
}

void FormStorage::restorePlacement()
{
    const QByteArray geometry = m_store->read(path(QStringLiteral("Geometry"))).toByteArray();
    bool dpiRead = false;
    const int storedDpi = m_store->read(path(QStringLiteral("PixelsPerInch"))).toInt(&dpiRead);
    if (!geometry.isEmpty() && dpiRead && storedDpi == pixelsPerInch(m_window))
        m_window->restoreGeometry(geometry);

    bool stateRead = false;
    const int state = m_store->read(path(QStringLiteral("WindowState"))).toInt(&stateRead);
    Qt::WindowStates flags = m_window->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    if (stateRead && state == static_cast<int>(StoredState::Minimized))
        flags |= Qt::WindowMinimized;
    else if (stateRead && state == static_cast<int>(StoredState::Maximized))
        flags |= Qt::WindowMaximized;
    m_window->setWindowState(flags);
}

QString FormStorage::save()
{
    m_saved = true;
    m_store->write(path(QStringLiteral("FormVersion")), kFormVersion);
    m_store->write(path(QStringLiteral("WindowState")), static_cast<int>(stateOf(m_window)));
    m_store->write(path(QStringLiteral("PixelsPerInch")), pixelsPerInch(m_window));
    m_store->write(path(QStringLiteral("Geometry")), m_window->saveGeometry());
    for (const StoredValue& value : m_values)
        m_store->write(path(value.name), value.get());
    return m_store->flush();
}

} // namespace zo
