#pragma once

#include "app/project_proposals.h"

#include <QDialog>

class QTableWidget;

namespace korvane::gui {

// 相序平衡: the proposal for one feeder, before and after side by side (the phase currents at
// the supply, the neutral current, the worst drop and its pole) with the number of poles it
// moves. 接受 accepts it, 取消 leaves the feeder as it was. Every figure is the proposal's own.
class PhaseBalanceDialog : public QDialog {
public:
    PhaseBalanceDialog(const PhaseBalanceProposal& proposal, QWidget* parent = nullptr);

    QTableWidget* figures() const { return figures_; }

private:
    QTableWidget* figures_;
};

} // namespace korvane::gui
