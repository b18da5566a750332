#pragma once

#include "base/number_format.h"

#include <QString>
#include <QStringList>

#include <initializer_list>
#include <optional>
#include <string_view>
#include <vector>

namespace korvane {

class Form;

// How the calculation file keeps a field, and whether it keeps it at all.
enum class Saved {
    No,           // a result, a hint or a design-time value: not kept
    List,         // the chosen item of a fixed list
    EditableList, // the chosen item, or the text typed over it
    Text,         // the text as typed
    LoadSwitch,   // the Value of a load's check box
    ModeSwitch,   // the Value of a check box that makes a field editable
    Spin,         // the Value of a spin button
};

// How a field is written from a computed value.
enum class Written {
    None,                // an input: the calculation does not write it
    Text,                // the text as the calculation gives it
    Fixed,               // fixed-point with `decimals` decimals
    General,             // general format, 15 significant digits
    FourDecimalsTrimmed, // four decimals (halves to even), no trailing zeros
};

// One field of a page or a dialog: the engineering quantity it holds, the control that shows it,
// how the calculation file keeps it and how a computation writes it. `cleared`: the page's
// clear button empties it. `since`: the calculation file format that first kept it. `field`: for
// a mode switch the quantity of the field it makes editable, for a spin button the quantity of
// the field it writes; messages about the switch name that field.
struct FieldBinding {
    std::string_view quantity;
    std::string_view control;
    Saved saved = Saved::No;
    Written written = Written::None;
    int decimals = 0;
    bool cleared = false;
    int since = 1;
    std::string_view field = {};

    QString controlName() const { return QString::fromLatin1(control.data(), int(control.size())); }
    QString quantityName() const {
        return QString::fromLatin1(quantity.data(), int(quantity.size()));
    }
};

// The fields of one page or dialog. Looking up a quantity that is not in the table is a
// programming error and throws std::logic_error, so a misspelt quantity fails its first test.
class BindingTable {
public:
    BindingTable(std::initializer_list<FieldBinding> rows) : rows_(rows) {}

    const std::vector<FieldBinding>& rows() const { return rows_; }
    const FieldBinding& operator[](std::string_view quantity) const;
    const FieldBinding* find(std::string_view quantity) const;
    // The control that holds the quantity.
    QString control(std::string_view quantity) const { return (*this)[quantity].controlName(); }
    QStringList controls(std::initializer_list<std::string_view> quantities) const;
    // The controls the clear button empties, in table order.
    QStringList clearedControls() const;
    // The controls a computation writes, in table order.
    QStringList writtenControls() const;

private:
    std::vector<FieldBinding> rows_;
};

// Reading and writing a page through its table. Text boxes and lists are read by their text,
// check boxes by their Value; numbers through the regional formatter.
QString boundText(const Form& form, const BindingTable& table, std::string_view quantity);
double boundLenient(const Form& form, const BindingTable& table, std::string_view quantity);
std::optional<double> boundStrict(const Form& form, const BindingTable& table,
                                  std::string_view quantity);
bool boundChecked(const Form& form, const BindingTable& table, std::string_view quantity);
// Writes a computed value in the row's written format.
void writeBound(Form& form, const BindingTable& table, std::string_view quantity, double value);
void writeBoundText(Form& form, const BindingTable& table, std::string_view quantity,
                    const QString& text);
// Empties every field of the table marked `cleared`.
void clearBound(Form& form, const BindingTable& table);

} // namespace korvane
