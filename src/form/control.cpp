#include "form/control.h"

namespace korvane {

Control::Control(Form& form, ControlKind kind, QString name)
    : form_(form), kind_(kind), name_(std::move(name)) {}

void Control::place(Control* container, int page, Rect geometry) {
    container_ = container;
    page_ = page;
    geometry_ = geometry;
}

void Control::setVisible(bool visible) {
    if (visible_ == visible)
        return;
    visible_ = visible;
    notify();
}

bool Control::effectivelyVisible() const {
    for (const Control* c = this; c != nullptr; c = c->container()) {
        if (!c->visible())
            return false;
    }
    return true;
}

void Control::setEnabled(bool enabled) {
    if (enabled_ == enabled)
        return;
    enabled_ = enabled;
    notify();
}

void Control::setCaption(const QString& caption) {
    if (caption_ == caption)
        return;
    caption_ = caption;
    notify();
}

void Control::setToolTip(const QString& toolTip) {
    toolTip_ = toolTip;
    notify();
}

void Control::setBackColor(Color color) {
    if (backColor_ == color)
        return;
    backColor_ = color;
    notify();
}

void Control::setForeColor(Color color) {
    if (foreColor_ == color)
        return;
    foreColor_ = color;
    notify();
}

void Control::on(Event event, std::function<void()> handler) {
    handlers_.emplace(event, std::move(handler));
}

void Control::raise(Event event) {
    auto [first, last] = handlers_.equal_range(event);
    // Copy: a handler may attach further handlers while running.
    std::vector<std::function<void()>> toRun;
    for (auto it = first; it != last; ++it)
        toRun.push_back(it->second);
    for (auto& handler : toRun)
        handler();
}

PropertyList Control::properties() const {
    PropertyList list{{QStringLiteral("Name"), name_},
                      {QStringLiteral("Visible"), boolText(visible_)},
                      {QStringLiteral("Enabled"), boolText(enabled_)}};
    if (!caption_.isEmpty())
        list.emplace_back(QStringLiteral("Caption"), caption_);
    if (!toolTip_.isEmpty())
        list.emplace_back(QStringLiteral("ToolTipText"), toolTip_);
    return list;
}

QString boolText(bool value) {
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace korvane
