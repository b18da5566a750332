#include "form/binding.h"

#include "form/form.h"

#include <stdexcept>
#include <string>

namespace korvane {

const FieldBinding* BindingTable::find(std::string_view quantity) const {
    for (const FieldBinding& row : rows_)
        if (row.quantity == quantity)
            return &row;
    return nullptr;
}

const FieldBinding& BindingTable::operator[](std::string_view quantity) const {
    if (const FieldBinding* row = find(quantity))
        return *row;
    throw std::logic_error("no field bound to " + std::string(quantity));
}

QStringList BindingTable::controls(std::initializer_list<std::string_view> quantities) const {
    QStringList names;
    for (std::string_view quantity : quantities)
        names << control(quantity);
    return names;
}

QStringList BindingTable::clearedControls() const {
    QStringList names;
    for (const FieldBinding& row : rows_)
        if (row.cleared)
            names << row.controlName();
    return names;
}

QStringList BindingTable::writtenControls() const {
    QStringList names;
    for (const FieldBinding& row : rows_)
        if (row.written != Written::None)
            names << row.controlName();
    return names;
}

QString boundText(const Form& form, const BindingTable& table, std::string_view quantity) {
    const Control& control = form.control(table.control(quantity));
    if (const auto* text = dynamic_cast<const TextBox*>(&control))
        return text->text();
    if (const auto* list = dynamic_cast<const ComboBox*>(&control))
        return list->text();
    throw std::logic_error("no text in the field of " + std::string(quantity));
}

double boundLenient(const Form& form, const BindingTable& table, std::string_view quantity) {
    return readLenient(boundText(form, table, quantity));
}

std::optional<double> boundStrict(const Form& form, const BindingTable& table,
                                  std::string_view quantity) {
    return readStrict(boundText(form, table, quantity));
}

bool boundChecked(const Form& form, const BindingTable& table, std::string_view quantity) {
    return form.check(table.control(quantity)).value() != 0;
}

void writeBoundText(Form& form, const BindingTable& table, std::string_view quantity,
                    const QString& text) {
    Control& control = form.control(table.control(quantity));
    if (auto* box = dynamic_cast<TextBox*>(&control))
        box->setText(text);
    else if (auto* list = dynamic_cast<ComboBox*>(&control))
        list->setText(text);
    else
        throw std::logic_error("no text in the field of " + std::string(quantity));
}

void writeBound(Form& form, const BindingTable& table, std::string_view quantity, double value) {
    const FieldBinding& row = table[quantity];
    QString text;
    switch (row.written) {
    case Written::None:
        throw std::logic_error("the field of " + std::string(quantity) + " is an input");
    case Written::Text:
    case Written::General:
        text = formatGeneral(value);
        break;
    case Written::Fixed:
        text = formatFixed(value, row.decimals);
        break;
    case Written::FourDecimalsTrimmed:
        text = formatFourDecimalsTrimmed(value);
        break;
    }
    writeBoundText(form, table, quantity, text);
}

void clearBound(Form& form, const BindingTable& table) {
    for (const FieldBinding& row : table.rows())
        if (row.cleared)
            writeBoundText(form, table, row.quantity, QString());
}

} // namespace korvane
