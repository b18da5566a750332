#include "form/form.h"

namespace korvane {

Form::Form(QString name, Design design) : name_(std::move(name)), design_(std::move(design)) {}

void Form::setSize(int width, int height) {
    width_ = width;
    height_ = height;
}

void Form::show() {
    load();
    if (!loaded_)
        return;
    // A form already open is only brought to the front (the view listens to this too).
    visible_ = true;
    stateChanged.fire(*this);
}

void Form::load() {
    if (loaded_)
        return;
    controls_.clear();
    index_.clear();
    loadHandlers_.clear();
    unloadHandlers_.clear();
    if (design_)
        design_(*this);
    loaded_ = true;
    stateChanged.fire(*this);
    // The handlers may unload the form again (a failed start-up does).
    const auto handlers = loadHandlers_;
    for (const auto& handler : handlers)
        handler();
}

void Form::unload() {
    if (!loaded_)
        return;
    const auto handlers = unloadHandlers_;
    for (const auto& handler : handlers)
        handler();
    loaded_ = false;
    visible_ = false;
    stateChanged.fire(*this);
}

Control* Form::find(const QString& name) const {
    auto it = index_.find(name);
    return it == index_.end() ? nullptr : it->second;
}

Control& Form::control(const QString& name) const {
    Control* c = find(name);
    if (c == nullptr)
        throw std::logic_error("no control " + name.toStdString() + " on " + name_.toStdString());
    return *c;
}

} // namespace korvane
