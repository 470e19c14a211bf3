#pragma once

#include <QTreeWidget>

// A tree whose items the user selects but never edits, with the two things the set-up pages rely
// on that QTreeWidget lacks: an `entered` signal when the tree receives the input focus (by
// mouse, key or program), and the selected item's position among its siblings.
//
// A handler of `entered` may move the focus elsewhere and select an item itself. The mouse press
// that brought the focus is then dropped, so the click cannot override the handler's selection.
class EnterTreeWidget : public QTreeWidget {
    Q_OBJECT
public:
    explicit EnterTreeWidget(QWidget* parent = nullptr);

    // Index of the current item among its siblings (a top-level item among the top-level items),
    // counted from 0; −1 with no current item.
    int selectedPosition() const;

signals:
    void entered();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};
