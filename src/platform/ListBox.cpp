#include "platform/ListBox.h"

#include <QSignalBlocker>

namespace zo {

ListBox::ListBox(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    // after the selection has moved: the current row changes before it, and handlers read it
    connect(this, &QListWidget::itemSelectionChanged, this, [this] {
        if (!m_settingByProgram)
            Q_EMIT selectionClicked();
    });
}

int ListBox::sortedRowFor(const QString& text) const
{
    // after every entry that sorts before or equal, so equal names keep their arrival order
    int low = 0;
    int high = count();
    while (low < high) {
        const int middle = (low + high) / 2;
        if (QString::compare(item(middle)->text(), text, Qt::CaseInsensitive) <= 0)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

void ListBox::addLine(const QString& text)
{
    const bool restoring = m_settingByProgram;
    m_settingByProgram = true;
    if (m_sorted)
        insertItem(sortedRowFor(text), text);
    else
        addItem(text);
    m_settingByProgram = restoring;
}

void ListBox::addLines(const QStringList& lines)
{
    for (const QString& line : lines)
        addLine(line);
}

void ListBox::replaceLines(const QStringList& lines)
{
    const bool restoring = m_settingByProgram;
    m_settingByProgram = true;
    clear();
    addLines(lines);
    m_settingByProgram = restoring;
}

QStringList ListBox::lines() const
{
    QStringList result;
    result.reserve(count());
    for (int row = 0; row < count(); ++row)
        result << item(row)->text();
    return result;
}

int ListBox::indexOfLine(const QString& text) const
{
    for (int row = 0; row < count(); ++row) {
        if (item(row)->text().compare(text, Qt::CaseInsensitive) == 0)
            return row;
    }
    return -1;
}

int ListBox::itemIndex() const
{
    const QList<QListWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : row(selected.first());
}

void ListBox::setItemIndex(int index)
{
    const bool restoring = m_settingByProgram;
    m_settingByProgram = true;
    if (index >= 0 && index < count()) {
        setCurrentRow(index);
    } else {
        setCurrentRow(-1);
        clearSelection();
    }
    m_settingByProgram = restoring;
}

QString ListBox::selectedLine() const
{
    const int index = itemIndex();
    return index < 0 ? QString() : item(index)->text();
}

} // namespace zo
