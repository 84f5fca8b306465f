#include "platform/StatusBar.h"

#include <QLabel>
#include <QProgressBar>
#include <QStackedWidget>
#include <algorithm>

namespace zo {
namespace {

// the progress panel is wider than designed so that its percentage stays readable
constexpr int kPanelWidths[OfficeStatusBar::kPanelCount] = {140, 160, 100};

} // namespace

OfficeStatusBar::OfficeStatusBar(QWidget* parent) : QStatusBar(parent)
{
    setSizeGripEnabled(true);
    for (int panel = 0; panel < kPanelCount; ++panel) {
        m_texts[panel] = new QLabel(this);
        m_texts[panel]->setObjectName(QStringLiteral("StatusPanel%1").arg(panel));
        m_texts[panel]->setMinimumWidth(kPanelWidths[panel]);
    }
    addWidget(m_texts[0]);
    addWidget(m_texts[1], 1);

    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("StatusProgress"));
    m_bar->setRange(0, 100);
    m_bar->setTextVisible(true);
    m_bar->setFormat(QStringLiteral("%p%"));
    m_progressPanel = new QStackedWidget(this);
    m_progressPanel->setFixedWidth(kPanelWidths[kProgressPanel]);
    m_progressPanel->setMaximumHeight(18);
    m_progressPanel->addWidget(m_texts[kProgressPanel]);
    m_progressPanel->addWidget(m_bar);
    addWidget(m_progressPanel);
    setProgressStyle(PanelStyle::Progress);
    updateBar();
}

QString OfficeStatusBar::panelText(int panel) const
{
    return panel >= 0 && panel < kPanelCount ? m_texts[panel]->text() : QString();
}

void OfficeStatusBar::setPanelText(int panel, const QString& text)
{
    if (panel >= 0 && panel < kPanelCount)
        m_texts[panel]->setText(text);
}

void OfficeStatusBar::setProgressStyle(PanelStyle style)
{
    m_style = style;
    m_progressPanel->setCurrentWidget(style == PanelStyle::Progress
                                          ? static_cast<QWidget*>(m_bar)
                                          : static_cast<QWidget*>(m_texts[kProgressPanel]));
}

void OfficeStatusBar::setProgressMax(quint64 max)
{
    m_max = max;
    updateBar();
}

void OfficeStatusBar::setProgressPosition(quint64 position)
{
    m_position = position;
    updateBar();
}

int OfficeStatusBar::shownPercent() const
{
    if (m_max == 0)
        return 0;
    const quint64 clamped = std::min(m_position, m_max);
    return static_cast<int>(static_cast<double>(clamped) * 100.0 / static_cast<double>(m_max));
}

void OfficeStatusBar::updateBar()
{
    m_bar->setValue(shownPercent());
}

} // namespace zo
