#pragma once

#include "form/form.h"

#include <QWidget>

#include <functional>
#include <map>
#include <vector>

namespace korvane::gui {

// A top-level window drawn from a form: one widget per control, placed as designed, each bound
// to its control by one binder per control kind. The window holds no logic of its own; user
// input goes to the control through the same user actions the command-line driver uses.
class FormWindow : public QWidget {
public:
    explicit FormWindow(Form& form, QWidget* parent = nullptr);
    ~FormWindow() override;

    Form& form() const { return form_; }
    // The widget drawn for a control, if any.
    QWidget* widgetFor(const QString& controlName) const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* parentWidgetFor(const Control& control) const;
    void bind(Control& control);
    void watch(Control& control, std::function<void()> refresh);
    void setUpKeyboard();

    Form& form_;
    std::map<const Control*, QWidget*> widgets_;
    std::map<std::pair<const Control*, int>, QWidget*> tabPages_;
    std::vector<std::pair<Control*, int>> connections_;
    bool updating_ = false;
};

} // namespace korvane::gui
