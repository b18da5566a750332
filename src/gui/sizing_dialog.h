#pragma once

#include "app/project_proposals.h"

#include <QDialog>

#include <vector>

class QTableWidget;

namespace korvane::gui {

// 调整截面: the proposal for each circuit — its section now, the smallest that passes every
// check and the check that rules out the next smaller one, or why none can be proposed — with a
// check box for each circuit that has a proposal. 接受 takes the checked ones.
class SizingDialog : public QDialog {
public:
    SizingDialog(std::vector<SizingProposal> proposals, QWidget* parent = nullptr);

    const std::vector<SizingProposal>& proposals() const { return proposals_; }
    QTableWidget* table() const { return table_; }
    // Whether the proposal of a line is checked; a line without a proposal is never.
    bool isChecked(int line) const;
    void setChecked(int line, bool checked);
    // The proposals whose lines are checked, in their order.
    std::vector<SizingProposal> checkedProposals() const;

private:
    std::vector<SizingProposal> proposals_;
    QTableWidget* table_;
};

} // namespace korvane::gui
