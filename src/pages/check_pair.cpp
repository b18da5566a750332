#include "pages/check_pair.h"

namespace korvane {

void enableFieldsByCheck(const CheckBox& check, std::initializer_list<TextBox*> fields) {
    const bool on = check.value() != 0;
    for (TextBox* field : fields) {
        field->setEnabled(on);
        field->setBackColor(on ? colors::kWhite : colors::kButtonFace);
    }
}

void switchLoadPair(const CheckBox& check, TextBox& load, TextBox& distance) {
    enableFieldsByCheck(check, {&load, &distance});
    const QString value = QString::number(check.value() != 0 ? 1 : 0);
    load.setText(value);
    distance.setText(value);
}

} // namespace korvane
