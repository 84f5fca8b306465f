#pragma once

#include <QApplication>

namespace zo {

// The application object: what a handler lets escape is shown in an error box, and the program
// goes on.
class ZoApplication : public QApplication
{
    Q_OBJECT

public:
    ZoApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Shows an exception's message the way the application shows it.
    static void showException(const QString& message);
};

} // namespace zo
