#include "form/controls.h"

#include "base/number_format.h"

#include <algorithm>

namespace korvane {

void TextBox::setText(const QString& text) {
    if (text_ == text)
        return;
    text_ = text;
    notify();
}

void TextBox::setOutOfDate(bool outOfDate) {
    if (outOfDate_ == outOfDate)
        return;
    outOfDate_ = outOfDate;
    notify();
}

PropertyList TextBox::properties() const {
    auto list = Control::properties();
    list.emplace_back(QStringLiteral("Text"), text_);
    list.emplace_back(QStringLiteral("BackColor"), colorText(backColor()));
    list.emplace_back(QStringLiteral("ForeColor"), colorText(foreColor()));
    list.emplace_back(QStringLiteral("OutOfDate"), boolText(outOfDate_));
    return list;
}

void ComboBox::setText(const QString& text) {
    text_ = text;
    listIndex_ = indexOf(text);
    notify();
}

void ComboBox::addItem(const QString& item) {
    items_.append(item);
    notify();
}

void ComboBox::addItems(const QStringList& items) {
    items_.append(items);
    notify();
}

void ComboBox::clear() {
    items_.clear();
    listIndex_ = -1;
    text_.clear();
    notify();
}

void ComboBox::setListIndex(int index) {
    if (index < -1 || index >= items_.size())
        index = -1;
    listIndex_ = index;
    text_ = index >= 0 ? items_.at(index) : QString();
    notify();
    raise(Event::Click);
}

PropertyList ComboBox::properties() const {
    auto list = Control::properties();
    list.emplace_back(QStringLiteral("Text"), text_);
    list.emplace_back(QStringLiteral("ListIndex"), QString::number(listIndex_));
    list.emplace_back(QStringLiteral("ListCount"), QString::number(items_.size()));
    list.emplace_back(QStringLiteral("Editable"), boolText(editable_));
    return list;
}

void CheckBox::setValue(int value) {
    value = value != 0 ? 1 : 0;
    if (value_ == value)
        return;
    value_ = value;
    notify();
    raise(Event::Click);
}

void CheckBox::assignValue(int value) {
    value_ = value != 0 ? 1 : 0;
    notify();
}

PropertyList CheckBox::properties() const {
    auto list = Control::properties();
    list.emplace_back(QStringLiteral("Value"), QString::number(value_));
    return list;
}

void Line::setEnds(int x1, int y1, int x2, int y2) {
    x1_ = x1;
    y1_ = y1;
    x2_ = x2;
    y2_ = y2;
}

PropertyList Line::properties() const {
    auto list = Control::properties();
    list.emplace_back(QStringLiteral("X1"), QString::number(x1_));
    list.emplace_back(QStringLiteral("Y1"), QString::number(y1_));
    list.emplace_back(QStringLiteral("X2"), QString::number(x2_));
    list.emplace_back(QStringLiteral("Y2"), QString::number(y2_));
    return list;
}

void Timer::setInterval(int ms) {
    if (interval_ == ms)
        return;
    interval_ = ms;
    notify();
}

PropertyList Timer::properties() const {
    auto list = Control::properties();
    list.emplace_back(QStringLiteral("Interval"), QString::number(interval_));
    return list;
}

void ProgressBar::setValue(float value) {
    value_ = value;
    notify();
}

void ProgressBar::setMax(float max) {
    max_ = max;
    notify();
}

PropertyList ProgressBar::properties() const {
    auto list = Control::properties();
    list.emplace_back(QStringLiteral("Value"), formatGeneral(value_));
    list.emplace_back(QStringLiteral("Max"), formatGeneral(max_));
    return list;
}

void UpDown::setValue(int value) {
    value = std::clamp(value, min_, max_);
    if (value_ == value)
        return;
    value_ = value;
    notify();
    raise(Event::Change);
}

void UpDown::assignValue(int value) {
    value_ = std::clamp(value, min_, max_);
    notify();
}

void UpDown::setRange(int min, int max) {
    min_ = min;
    max_ = max;
}

PropertyList UpDown::properties() const {
    auto list = Control::properties();
    list.emplace_back(QStringLiteral("Value"), QString::number(value_));
    list.emplace_back(QStringLiteral("Min"), QString::number(min_));
    list.emplace_back(QStringLiteral("Max"), QString::number(max_));
    return list;
}

void TabControl::setTab(int tab) {
    if (tab_ == tab)
        return;
    tab_ = tab;
    notify();
}

PropertyList TabControl::properties() const {
    auto list = Control::properties();
    list.emplace_back(QStringLiteral("Tab"), QString::number(tab_));
    list.emplace_back(QStringLiteral("Tabs"), QString::number(tabCaptions_.size()));
    return list;
}

} // namespace korvane
