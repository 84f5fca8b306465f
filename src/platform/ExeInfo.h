#pragma once

#include <QObject>
#include <QString>

namespace zo {

// The version information of the program file.
class ExeInfo : public QObject
{
    Q_OBJECT

public:
    explicit ExeInfo(QObject* parent = nullptr) : QObject(parent) {}

    QString FileVersion() const;
};

} // namespace zo
