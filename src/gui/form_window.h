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
//
// A window draws one load of its form. When the form is unloaded the window is detached at once
// (it hears and reaches no control any more, as the next load builds the controls afresh) and is
// deleted later, when the event that unloaded the form is over.
class FormWindow : public QWidget {
public:
    explicit FormWindow(Form& form, QWidget* parent = nullptr);
    ~FormWindow() override;

    Form& form() const { return form_; }
    // Stops hearing the controls and passing input to them, and hides the window.
    void detach();
    bool detached() const { return attachment_ == nullptr; }
    // The widget drawn for a control, if any.
    QWidget* widgetFor(const QString& controlName) const;
    // Builds the widgets of every tab page not shown yet (see unbuiltPages_).
    void realizeAllPages();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* parentWidgetFor(const Control& control) const;
    void bind(Control& control);
    QWidget* bindByKind(Control& control, QWidget* parent);
    QWidget* bindTextBox(Control& control, QWidget* parent);
    QWidget* bindComboBox(Control& control, QWidget* parent);
    QWidget* bindCheckBox(Control& control, QWidget* parent);
    QWidget* bindCommandButton(Control& control, QWidget* parent);
    QWidget* bindFrame(Control& control, QWidget* parent);
    QWidget* bindLabel(Control& control, QWidget* parent);
    QWidget* bindLine(Control& control, QWidget* parent);
    QWidget* bindTimer(Control& control, QWidget* parent);
    QWidget* bindProgressBar(Control& control, QWidget* parent);
    QWidget* bindUpDown(Control& control, QWidget* parent);
    QWidget* bindRichTextBox(Control& control, QWidget* parent);
    QWidget* bindGrid(Control& control, QWidget* parent);
    QWidget* bindTabControl(Control& control, QWidget* parent);
    void watch(Control& control, std::function<void()> refresh);
    void realizePage(const Control* tabControl, int page);
    void defer(Control& control);
    void realizeShown();
    void stackInFormOrder(const Control& control, QWidget* widget);
    void setUpKeyboard(const Control& control, QWidget* widget);
    void orderKeyboard();

    Form& form_;
    std::map<const Control*, QWidget*> widgets_;
    std::map<std::pair<const Control*, int>, QWidget*> tabPages_;
    std::vector<Signal<const Control&>::Connection> connections_;
    // The context of every Qt connection that reaches a control (user input, timers, redrawing
    // later): deleting it in detach() cuts them all.
    QObject* attachment_;
    // The controls of tab pages that have not been shown yet, in form order. A page's widgets
    // are built when the page is first shown: the pages the engineer does not open cost nothing
    // at start-up, and a page built later takes its controls' state as they are then.
    std::map<std::pair<const Control*, int>, std::vector<Control*>> unbuiltPages_;
    // Controls hidden by the form (themselves or a frame around them), built when they are
    // first shown, in form order. Most load-case frames and working fields are never shown.
    std::vector<Control*> unbuiltHidden_;
    // Each control's place in the form: a widget built late is stacked under the widgets of
    // the controls that follow it, as if it had been built with them.
    std::map<const Control*, size_t> formOrder_;
    bool buildingInOrder_ = false;
    // The order Tab walks, read off the design once, and the fields that another one covers
    // (the covered one takes no focus while its cover is shown).
    std::vector<const Control*> keyboardOrder_;
    std::map<const Control*, Control*> coveredBy_;
    bool updating_ = false;
};

} // namespace korvane::gui
