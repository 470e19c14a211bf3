#include "ui/EnterTreeWidget.h"

#include <QMouseEvent>

EnterTreeWidget::EnterTreeWidget(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAllColumnsShowFocus(true);
}

int EnterTreeWidget::selectedPosition() const {
    const QTreeWidgetItem* item = currentItem();
    if (!item)
        return -1;
    if (const QTreeWidgetItem* parent = item->parent())
        return parent->indexOfChild(const_cast<QTreeWidgetItem*>(item));
    return indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(item));
}

void EnterTreeWidget::focusInEvent(QFocusEvent* event) {
    QTreeWidget::focusInEvent(event);
    emit entered();
}

// The application gives the focus before it delivers the press; a tree that lost the focus again
// in between was sent away by its `entered` handler, and the press must not select.
void EnterTreeWidget::mousePressEvent(QMouseEvent* event) {
    if (hasFocus())
        QTreeWidget::mousePressEvent(event);
    else
        event->accept();
}

void EnterTreeWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (hasFocus())
        QTreeWidget::mouseReleaseEvent(event);
    else
        event->accept();
}

void EnterTreeWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    if (hasFocus())
        QTreeWidget::mouseDoubleClickEvent(event);
    else
        event->accept();
}
