#pragma once

#include <QListWidget>
#include <QStringList>

namespace zo {

// A list box of plain strings. A sorted one keeps its entries in alphabetical order without
// regard to letter case, as the instruments' platform sorts names. Selection changes made by
// the user raise selectionClicked(); changes made by the program raise nothing.
class ListBox : public QListWidget
{
    Q_OBJECT

public:
    explicit ListBox(QWidget* parent = nullptr);

    void setSorted(bool sorted) { m_sorted = sorted; }
    bool isSorted() const { return m_sorted; }

    // Adds a line: at its sorted place in a sorted box, at the end otherwise.
    void addLine(const QString& text);
    void addLines(const QStringList& lines);
    void replaceLines(const QStringList& lines);
    void clearLines() { replaceLines({}); }
    QStringList lines() const;
    // The row of the first line equal to text without regard to letter case, -1 for none.
    int indexOfLine(const QString& text) const;

    // The selected row, -1 for none. Setting it raises no selectionClicked().
    int itemIndex() const;
    void setItemIndex(int index);
    QString selectedLine() const;

Q_SIGNALS:
    void selectionClicked();

private:
    int sortedRowFor(const QString& text) const;

    bool m_sorted = false;
    bool m_settingByProgram = false;
};

} // namespace zo
