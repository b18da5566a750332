#pragma once

#include "form/form.h"

#include <QStringList>

#include <map>
#include <memory>
#include <vector>

namespace korvane {

// The note a page shows beside its results while they are out of date.
inline constexpr const char* kStaleResultsNote = "输入已更改，请重新计算";

// The results of one page held against the inputs they were computed from. When the value of an
// input changes after a result was written (typed, picked from a table or a dialog, or written by
// another page), every result that shows something is marked out of date and the page's note is
// shown, until the page's computation writes that result again. An empty result claims nothing
// and is never out of date, so clearing a page or opening a calculation leaves no mark.
class StaleResults {
public:
    StaleResults(std::vector<const Control*> inputs, std::vector<TextBox*> results, Control& note);

    // The computation has just written `result` from the inputs as they are now.
    void computed(TextBox& result);
    bool anyOutOfDate() const;

    // Reacts to a change of one of the watched controls (the view's change signal).
    void controlChanged(const Control& control);

private:
    void markResultsOutOfDate();
    void showNote();

    std::map<const Control*, QString> inputValues_;
    std::vector<TextBox*> results_;
    Control& note_;
};

// Watches the named inputs and results of a page of `form`; the tracker lives as long as the
// controls it watches.
std::shared_ptr<StaleResults> watchStaleResults(Form& form, const QStringList& inputs,
                                                const QStringList& results, const QString& note);

} // namespace korvane
