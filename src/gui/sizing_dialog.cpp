#include "gui/sizing_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace korvane::gui {

namespace {

enum Column { Id, Current, Proposed, Governing, Explanation, ColumnCount };

QTableWidgetItem* readOnly(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

} // namespace

SizingDialog::SizingDialog(std::vector<SizingProposal> proposals, QWidget* parent)
    : QDialog(parent), proposals_(std::move(proposals)), table_(new QTableWidget) {
    setWindowTitle(QStringLiteral("调整截面"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral(
        "每个回路满足全部校验的最小截面。勾选的回路按建议截面修改，其余保持不变。")));

    table_->setColumnCount(ColumnCount);
    table_->setHorizontalHeaderLabels({QStringLiteral("回路"), QStringLiteral("当前截面"),
                                       QStringLiteral("建议截面"), QStringLiteral("控制校验"),
                                       QStringLiteral("说明")});
    table_->setRowCount(int(proposals_.size()));
    table_->verticalHeader()->hide();
    table_->setSelectionMode(QAbstractItemView::NoSelection);
    for (int line = 0; line < int(proposals_.size()); ++line) {
        const SizingProposal& p = proposals_[size_t(line)];
        QTableWidgetItem* id = readOnly(p.id);
        if (p.proposedSection) {
            id->setFlags(id->flags() | Qt::ItemIsUserCheckable);
            // Checked where the section would change; a circuit already at its smallest
            // passing section has nothing to apply.
            id->setCheckState(*p.proposedSection != p.currentSection ? Qt::Checked : Qt::Unchecked);
        } else {
            id->setFlags(id->flags() & ~(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled));
        }
        table_->setItem(line, Id, id);
        table_->setItem(line, Current, readOnly(p.currentSection));
        table_->setItem(line, Proposed,
                        readOnly(p.proposedSection ? *p.proposedSection : QStringLiteral("—")));
        table_->setItem(line, Governing,
                        readOnly(p.governing ? checkName(*p.governing) : QString()));
        const QString why = p.proposedSection ? p.governingText : p.notSized;
        QTableWidgetItem* explanation = readOnly(why);
        explanation->setToolTip(why);
        table_->setItem(line, Explanation, explanation);
    }
    table_->resizeColumnsToContents();
    table_->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(table_);

    auto* buttons = new QDialogButtonBox;
    buttons->addButton(QStringLiteral("接受"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(860, 420);
}

bool SizingDialog::isChecked(int line) const {
    const QTableWidgetItem* item = table_->item(line, Id);
    return item != nullptr && (item->flags() & Qt::ItemIsUserCheckable) &&
           item->checkState() == Qt::Checked;
}

void SizingDialog::setChecked(int line, bool checked) {
    QTableWidgetItem* item = table_->item(line, Id);
    if (item != nullptr && (item->flags() & Qt::ItemIsUserCheckable))
        item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

std::vector<SizingProposal> SizingDialog::checkedProposals() const {
    std::vector<SizingProposal> checked;
    for (int line = 0; line < int(proposals_.size()); ++line) {
        if (isChecked(line))
            checked.push_back(proposals_[size_t(line)]);
    }
    return checked;
}

} // namespace korvane::gui
