#include "form/stale_results.h"

#include <algorithm>

namespace korvane {

namespace {

// What a computation reads from a control; appearance (enabled, colours, visibility) is not part
// of it, so a switch that only greys a field does not date the results.
QString valueOf(const Control& control) {
    switch (control.kind()) {
    case ControlKind::TextBox:
        return static_cast<const TextBox&>(control).text();
    case ControlKind::ComboBox:
        return static_cast<const ComboBox&>(control).text();
    case ControlKind::CheckBox:
        return QString::number(static_cast<const CheckBox&>(control).value());
    case ControlKind::UpDown:
        return QString::number(static_cast<const UpDown&>(control).value());
    default:
        return {};
    }
}

} // namespace

StaleResults::StaleResults(std::vector<const Control*> inputs, std::vector<TextBox*> results,
                           Control& note)
    : results_(std::move(results)), note_(note) {
    for (const Control* input : inputs)
        inputValues_[input] = valueOf(*input);
    showNote();
}

void StaleResults::computed(TextBox& result) {
    result.setOutOfDate(false);
    showNote();
}

bool StaleResults::anyOutOfDate() const {
    return std::any_of(results_.begin(), results_.end(),
                       [](const TextBox* r) { return r->outOfDate(); });
}

void StaleResults::controlChanged(const Control& control) {
    if (auto input = inputValues_.find(&control); input != inputValues_.end()) {
        QString value = valueOf(control);
        if (value == input->second)
            return;
        input->second = std::move(value);
        markResultsOutOfDate();
        return;
    }
    for (TextBox* result : results_) {
        if (result == &control && result->text().isEmpty())
            result->setOutOfDate(false);
    }
    showNote();
}

void StaleResults::markResultsOutOfDate() {
    for (TextBox* result : results_) {
        if (!result->text().isEmpty())
            result->setOutOfDate(true);
    }
    showNote();
}

void StaleResults::showNote() {
    note_.setVisible(anyOutOfDate());
}

std::shared_ptr<StaleResults> watchStaleResults(Form& form, const QStringList& inputs,
                                                const QStringList& results, const QString& note) {
    std::vector<const Control*> inputControls;
    for (const QString& name : inputs)
        inputControls.push_back(&form.control(name));
    std::vector<TextBox*> resultFields;
    for (const QString& name : results)
        resultFields.push_back(&form.text(name));
    auto tracker = std::make_shared<StaleResults>(inputControls, resultFields, form.control(note));

    // The controls' signals own the tracker: it goes when the form's controls go.
    auto listen = [&tracker](Control& control) {
        control.changed.connect([tracker](const Control& c) { tracker->controlChanged(c); });
    };
    for (const QString& name : inputs)
        listen(form.control(name));
    for (TextBox* result : resultFields)
        listen(*result);
    return tracker;
}

} // namespace korvane
