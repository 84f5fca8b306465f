#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>

namespace zo::test {

// A real Windows bitmap of the given size, filled with a colour made from the seed.
inline QByteArray bitmap(int width, int height, int seed = 1)
{
    QImage picture(width, height, QImage::Format_RGB888);
    picture.fill(QColor::fromHsv((seed * 47) % 360, 200, 220));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "BMP");
    return bytes;
}

} // namespace zo::test
