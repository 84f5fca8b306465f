#pragma once

#include <QPointer>
#include <QWidget>

namespace zo {

// A plain widget that tells when it has been resized.
class ResizeNotifier : public QWidget
{
    Q_OBJECT

public:
    using QWidget::QWidget;

Q_SIGNALS:
    void resized();

protected:
    void resizeEvent(QResizeEvent* event) override;
};

// Holds one child anchored to all four sides: the child's width follows the holder's width and
// its height grows and shrinks with the holder's height, while the child keeps any height the
// program gives it. A change of width is announced, so the owner can reshape the child.
class AnchoredHolder : public QWidget
{
    Q_OBJECT

public:
    using QWidget::QWidget;

    void setAnchored(QWidget* child) { m_child = child; }

Q_SIGNALS:
    void widthChanged();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QPointer<QWidget> m_child;
};

} // namespace zo
