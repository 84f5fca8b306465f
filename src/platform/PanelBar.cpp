#include "platform/PanelBar.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace zo {
namespace {

constexpr int kCaptionColumnWidth = 60;
constexpr int kRowHeight = 24;

} // namespace

PanelBar::PanelBar(QWidget* parent) : QWidget(parent)
{
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(1);
    m_layout->addStretch(1);
}

int PanelBar::addPanel(const QString& caption, const QList<Item>& items)
{
    const int panelIndex = panelCount();
    const QString prefix = objectName() + QStringLiteral(".Panel%1").arg(panelIndex);

    Panel panel;
    panel.caption = caption;
    auto* captionButton = new QPushButton(caption, this);
    captionButton->setObjectName(prefix);
    captionButton->setFlat(false);
    panel.captionButton = captionButton;
    connect(captionButton, &QPushButton::clicked, this,
            [this, panelIndex] { onCaptionPressed(panelIndex); });

    panel.body = new QWidget(this);
    auto* grid = new QGridLayout(panel.body);
    grid->setContentsMargins(2, 2, 2, 2);
    grid->setColumnMinimumWidth(0, kCaptionColumnWidth);
    for (int index = 0; index < items.size(); ++index) {
        Row row;
        row.item = items[index];
        auto* rowCaption = new QToolButton(panel.body);
        rowCaption->setObjectName(prefix + QStringLiteral(".Item%1").arg(index));
        rowCaption->setText(items[index].caption);
        rowCaption->setCheckable(true);
        rowCaption->setAutoRaise(true);
        rowCaption->setFixedHeight(kRowHeight);
        rowCaption->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        auto* update = new QPushButton(tr("Update"), panel.body);
        update->setObjectName(rowCaption->objectName() + QStringLiteral(".Update"));
        update->setFixedHeight(kRowHeight);
        connect(rowCaption, &QToolButton::clicked, this, [this, panelIndex, index] {
            showSelection(panelIndex);
            Q_EMIT itemClicked(panelIndex, index);
        });
        connect(update, &QPushButton::clicked, this,
                [this, panelIndex, index] { Q_EMIT buttonClicked(panelIndex, index); });
        grid->addWidget(rowCaption, index, 0);
        grid->addWidget(update, index, 1);
        row.captionButton = rowCaption;
        row.updateButton = update;
        panel.rows << row;
    }

    // new panels go above the stretch that fills the rest of the bar
    m_layout->insertWidget(m_layout->count() - 1, captionButton);
    m_layout->insertWidget(m_layout->count() - 1, panel.body);
    m_panels << panel;
    panel.body->setVisible(panelIndex == m_topPanel);
    return panelIndex;
}

QString PanelBar::panelCaption(int panel) const
{
    return validPanel(panel) ? m_panels[panel].caption : QString();
}

int PanelBar::itemCount(int panel) const
{
    return validPanel(panel) ? static_cast<int>(m_panels[panel].rows.size()) : 0;
}

PanelBar::Item PanelBar::item(int panel, int index) const
{
    if (index < 0 || index >= itemCount(panel))
        return {};
    return m_panels[panel].rows[index].item;
}

int PanelBar::itemIndex(int panel) const
{
    return validPanel(panel) ? m_panels[panel].itemIndex : -1;
}

void PanelBar::setItemIndex(int panel, int index)
{
    if (!validPanel(panel))
        return;
    m_panels[panel].itemIndex = index;
    showSelection(panel);
}

void PanelBar::setTopPanel(int panel)
{
    if (!validPanel(panel))
        return;
    m_topPanel = panel;
    for (int other = 0; other < panelCount(); ++other)
        m_panels[other].body->setVisible(other == panel);
}

QAbstractButton* PanelBar::panelCaptionButton(int panel) const
{
    return validPanel(panel) ? m_panels[panel].captionButton : nullptr;
}

QAbstractButton* PanelBar::itemButton(int panel, int index) const
{
    return index >= 0 && index < itemCount(panel) ? m_panels[panel].rows[index].captionButton
                                                  : nullptr;
}

QAbstractButton* PanelBar::updateButton(int panel, int index) const
{
    return index >= 0 && index < itemCount(panel) ? m_panels[panel].rows[index].updateButton
                                                  : nullptr;
}

void PanelBar::onCaptionPressed(int panel)
{
    if (panel == m_topPanel) {
        Q_EMIT panelCaptionClicked(panel);
        return;
    }
    setTopPanel(panel);
    Q_EMIT panelOpened(panel);
}

void PanelBar::showSelection(int panel)
{
    const Panel& shown = m_panels[panel];
    for (int index = 0; index < shown.rows.size(); ++index)
        shown.rows[index].captionButton->setChecked(index == shown.itemIndex);
}

} // namespace zo
