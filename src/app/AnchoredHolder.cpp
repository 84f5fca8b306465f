#include "app/AnchoredHolder.h"

#include <QResizeEvent>
#include <algorithm>

namespace zo {

void ResizeNotifier::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Q_EMIT resized();
}

void AnchoredHolder::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (!m_child)
        return;
    const QSize old = event->oldSize().isValid() ? event->oldSize() : event->size();
    const int heightChange = event->size().height() - old.height();
    m_child->setGeometry(0, 0, width(), std::max(0, m_child->height() + heightChange));
    if (event->size().width() != old.width() || !event->oldSize().isValid())
        Q_EMIT widthChanged();
}

} // namespace zo
