#pragma once

#include <QStatusBar>

class QLabel;
class QProgressBar;
class QStackedWidget;

namespace zo {

enum class PanelStyle
{
    Text,
    Progress
};

// The window's status bar: two text panels and a third that is either an empty text panel or
// a progress bar showing Position as a percentage of Max.
class OfficeStatusBar : public QStatusBar
{
    Q_OBJECT

public:
    static constexpr int kPanelCount = 3;
    static constexpr int kProgressPanel = 2;

    explicit OfficeStatusBar(QWidget* parent = nullptr);

    QString panelText(int panel) const;
    void setPanelText(int panel, const QString& text);

    PanelStyle progressStyle() const { return m_style; }
    void setProgressStyle(PanelStyle style);

    quint64 progressMax() const { return m_max; }
    quint64 progressPosition() const { return m_position; }
    void setProgressMax(quint64 max);
    void setProgressPosition(quint64 position);
    // The percentage the bar shows: 0 when Max is 0, at most 100.
    int shownPercent() const;

private:
    void updateBar();

    QLabel* m_texts[kPanelCount] = {};
    QStackedWidget* m_progressPanel = nullptr;
    QProgressBar* m_bar = nullptr;
    PanelStyle m_style = PanelStyle::Progress;
    quint64 m_max = 100;
    quint64 m_position = 0;
};

} // namespace zo
