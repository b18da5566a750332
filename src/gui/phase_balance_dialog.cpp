#include "gui/phase_balance_dialog.h"

#include "base/number_format.h"
#include "project/project_compute.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace korvane::gui {

namespace {

// The rows of the comparison: a label and the figure of one assignment.
struct FigureRow {
    const char* label;
    QString (*text)(const PhaseAssignment&);
};

QString amperes(double value) {
    return formatFixed(value, 2);
}

const FigureRow kRows[] = {
    {"L1 电流(A)", [](const PhaseAssignment& a) { return amperes(a.phaseCurrentsA[0]); }},
    {"L2 电流(A)", [](const PhaseAssignment& a) { return amperes(a.phaseCurrentsA[1]); }},
    {"L3 电流(A)", [](const PhaseAssignment& a) { return amperes(a.phaseCurrentsA[2]); }},
    {"中性线电流(A)", [](const PhaseAssignment& a) { return amperes(a.neutralCurrentA); }},
    {"最大电压损失(%)",
     [](const PhaseAssignment& a) {
         return formatFixed(a.worstLossPercent, kLossPercentDecimals);
     }},
    {"最不利杆", [](const PhaseAssignment& a) { return a.worstPole; }},
};

} // namespace

PhaseBalanceDialog::PhaseBalanceDialog(const PhaseBalanceProposal& proposal, QWidget* parent)
    : QDialog(parent), figures_(new QTableWidget) {
    setWindowTitle(QStringLiteral("相序平衡 - %1").arg(proposal.id));
    auto* layout = new QVBoxLayout(this);
    const PhaseProposal& p = *proposal.proposal;
    auto* note = new QLabel(
        QStringLiteral("%1：按各杆灯具负荷重新分配未固定相别的杆，使电源处最大相电流最小，"
                       "其次使最大电压损失最小。已固定相别的杆不变。")
            .arg(proposal.id));
    note->setWordWrap(true);
    layout->addWidget(note);

    figures_->setColumnCount(2);
    figures_->setRowCount(int(std::size(kRows)));
    figures_->setHorizontalHeaderLabels({QStringLiteral("调整前"), QStringLiteral("调整后")});
    for (int r = 0; r < int(std::size(kRows)); ++r) {
        figures_->setVerticalHeaderItem(r, new QTableWidgetItem(QString::fromUtf8(kRows[r].label)));
        const PhaseAssignment* sides[] = {&p.before, &p.after};
        for (int c = 0; c < 2; ++c) {
            auto* item = new QTableWidgetItem(kRows[r].text(*sides[c]));
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            figures_->setItem(r, c, item);
        }
    }
    figures_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    figures_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(figures_);
    layout->addWidget(new QLabel(QStringLiteral("调整相别的杆数：%1").arg(p.polesMoved)));

    auto* buttons = new QDialogButtonBox;
    buttons->addButton(QStringLiteral("接受"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(460, 360);
}

} // namespace korvane::gui
