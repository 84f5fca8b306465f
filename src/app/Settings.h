#pragma once

#include <QObject>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>

class QSettings;
class QWidget;

namespace zo {

// The per-user settings store: organisation "Corvane", application "FTPClient" (on Windows the
// registry key Software\Corvane\FTPClient).
class SettingsStore : public QObject
{
    Q_OBJECT

public:
    explicit SettingsStore(QObject* parent = nullptr);
    ~SettingsStore() override;

    // Absent, unreadable or corrupt values give an invalid QVariant.
    QVariant read(const QString& path) const;
    void write(const QString& path, const QVariant& value);
    // Writes pending values out; an empty text when that succeeded, otherwise what went wrong.
    QString flush();

private:
    std::unique_ptr<QSettings> m_settings;
};

// What of the window goes into the store, below "CvRemoteSkt/": its placement and a list of
// named values. Restores on the window's first showing, saves when it closes, or when it is
// destroyed without having closed.
class FormStorage : public QObject
{
    Q_OBJECT

public:
    static constexpr int kFormVersion = 0;

    FormStorage(QWidget* window, SettingsStore* store);
    ~FormStorage() override;

    struct StoredValue
    {
        QString name;
        std::function<QVariant()> get;
        // Takes a stored value; returns false when it cannot use it (the value stays as it was).
        std::function<bool(const QVariant&)> set;
    };
    void addStoredValue(StoredValue value);

    void restore();
    // Saves and reports what went wrong (empty when nothing did).
    QString save();
    bool hasRestored() const { return m_restored; }
    bool hasSaved() const { return m_saved; }

Q_SIGNALS:
    void afterRestorePlacement();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void restorePlacement();
    QString path(const QString& name) const;

    QWidget* m_window;
    SettingsStore* m_store;
    std::vector<StoredValue> m_values;
    bool m_restored = false;
    bool m_saved = false;
};

} // namespace zo
