#pragma once

#include <QLayout>
#include <QList>

namespace korvane::gui {

// Lays its items out left to right and starts a new line when the next one does not fit, as
// words of a paragraph: a row of fields that is one line on a wide screen and two or three on a
// narrow or highly scaled one, never wider than its window.
class FlowLayout : public QLayout {
public:
    explicit FlowLayout(QWidget* parent = nullptr, int horizontalSpacing = 12,
                        int verticalSpacing = 4);
    ~FlowLayout() override;
    FlowLayout(const FlowLayout&) = delete;
    FlowLayout& operator=(const FlowLayout&) = delete;

    void addItem(QLayoutItem* item) override;
    int count() const override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    Qt::Orientations expandingDirections() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect& rect) override;

private:
    // Places the items in `rect` (or only measures them) and returns the height they take.
    int arrange(const QRect& rect, bool place) const;

    QList<QLayoutItem*> items_;
    int horizontalSpacing_;
    int verticalSpacing_;
};

} // namespace korvane::gui
