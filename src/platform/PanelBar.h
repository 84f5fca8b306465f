#pragma once

#include <QList>
#include <QString>
#include <QWidget>

class QAbstractButton;
class QVBoxLayout;

namespace zo {

// A bar of panels of which one is open at a time. Each panel holds rows of a caption and an
// "Update" button; every row carries an integer tag, and every panel remembers its selected
// row. Signals are raised only by what the user does, never by the setters.
class PanelBar : public QWidget
{
    Q_OBJECT

public:
    struct Item
    {
        QString caption;
        int tag = 0;
    };

    explicit PanelBar(QWidget* parent = nullptr);

    int addPanel(const QString& caption, const QList<Item>& items);

    int panelCount() const { return static_cast<int>(m_panels.size()); }
    QString panelCaption(int panel) const;
    int itemCount(int panel) const;
    Item item(int panel, int index) const;

    // The selected row of a panel, -1 for none.
    int itemIndex(int panel) const;
    void setItemIndex(int panel, int index);

    // The open panel.
    int topPanel() const { return m_topPanel; }
    void setTopPanel(int panel);

    // The clickable parts, for keyboard focus and for tests that press them.
    QAbstractButton* panelCaptionButton(int panel) const;
    QAbstractButton* itemButton(int panel, int index) const;
    QAbstractButton* updateButton(int panel, int index) const;

Q_SIGNALS:
    void itemClicked(int panel, int index);
    void buttonClicked(int panel, int index);
    void editBtnClicked(int panel, int index);
    void panelOpened(int panel);
    void panelCaptionClicked(int panel);

private:
    struct Row
    {
        Item item;
        QAbstractButton* captionButton = nullptr;
        QAbstractButton* updateButton = nullptr;
    };
    struct Panel
    {
        QString caption;
        QAbstractButton* captionButton = nullptr;
        QWidget* body = nullptr;
        QList<Row> rows;
        int itemIndex = -1;
    };

    bool validPanel(int panel) const { return panel >= 0 && panel < panelCount(); }
    void onCaptionPressed(int panel);
    void showSelection(int panel);

    QVBoxLayout* m_layout = nullptr;
    QList<Panel> m_panels;
    int m_topPanel = 0;
};

} // namespace zo
