#pragma once

#include <QString>
#include <QStringList>

namespace korvane {

class Form;

// The four line kinds in list order.
const QStringList& lineKinds();
// The load cases a line kind offers, in list order; none for an unknown kind.
QStringList loadCasesOf(const QString& lineKind);
// The control of the input frame a load case shows, or an empty text for an unknown case.
QString inputFrameOf(const QString& loadCase);

// Line-kind list, load-case list and the load switches of the multi-load frames.
void installLineKindHandlers(Form& form);
// Start-up: fills the line kinds and selects the first, which shows its first case.
void fillLineKinds(Form& form);

} // namespace korvane
