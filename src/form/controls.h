#pragma once

#include "form/control.h"

#include <QStringList>

namespace korvane {

// Text field. Holds a number or any text; no events.
class TextBox : public Control {
public:
    TextBox(Form& form, QString name) : Control(form, ControlKind::TextBox, std::move(name)) {}

    const QString& text() const { return text_; }
    void setText(const QString& text);

    // Several lines with scroll bars (report fields); design-time.
    bool multiLine() const { return multiLine_; }
    void setMultiLine(bool multiLine) { multiLine_ = multiLine; }

    // A result that no longer belongs to the inputs shown beside it: the view draws its text in
    // colors::kOutOfDateText. The text itself is left as it is.
    bool outOfDate() const { return outOfDate_; }
    void setOutOfDate(bool outOfDate);

    PropertyList properties() const override;

private:
    QString text_;
    bool multiLine_ = false;
    bool outOfDate_ = false;
};

// Choice list. Setting ListIndex selects an item and raises Click. An editable list also
// accepts typed text, which raises nothing.
class ComboBox : public Control {
public:
    ComboBox(Form& form, QString name) : Control(form, ControlKind::ComboBox, std::move(name)) {}

    const QString& text() const { return text_; }
    // Edit text as typed; takes the index of an equal item, raises nothing.
    void setText(const QString& text);

    const QStringList& items() const { return items_; }
    void addItem(const QString& item);
    void addItems(const QStringList& items);
    // Removes every item; the text becomes empty and nothing is selected.
    void clear();

    int listIndex() const { return listIndex_; }
    // Selects item `index` (or nothing with -1) and raises Click.
    void setListIndex(int index);
    int indexOf(const QString& item) const { return static_cast<int>(items_.indexOf(item)); }

    bool editable() const { return editable_; }
    void setEditable(bool editable) { editable_ = editable; }

    PropertyList properties() const override;

private:
    QString text_;
    QStringList items_;
    int listIndex_ = -1;
    bool editable_ = false;
};

// Check box; Value 0 or 1. Changing Value raises Click, as a click by the user does.
class CheckBox : public Control {
public:
    CheckBox(Form& form, QString name) : Control(form, ControlKind::CheckBox, std::move(name)) {}

    int value() const { return value_; }
    void setValue(int value);
    // Sets Value without raising Click (design-time state, or a caller that raises it itself).
    void assignValue(int value);

    PropertyList properties() const override;

private:
    int value_ = 0;
};

class CommandButton : public Control {
public:
    CommandButton(Form& form, QString name)
        : Control(form, ControlKind::CommandButton, std::move(name)) {}
};

// Frame with a caption; hiding it hides what it contains.
class Frame : public Control {
public:
    Frame(Form& form, QString name) : Control(form, ControlKind::Frame, std::move(name)) {}
};

enum class Alignment { Left, Right, Center };

class Label : public Control {
public:
    Label(Form& form, QString name) : Control(form, ControlKind::Label, std::move(name)) {}

    Alignment alignment() const { return alignment_; }
    void setAlignment(Alignment alignment) { alignment_ = alignment; }
    // Font size in points; 0 keeps the window's font.
    double fontSize() const { return fontSize_; }
    void setFontSize(double points) { fontSize_ = points; }
    // Name of a built-in picture the label shows instead of its caption.
    const QString& picture() const { return picture_; }
    void setPicture(const QString& picture) { picture_ = picture; }

private:
    Alignment alignment_ = Alignment::Left;
    double fontSize_ = 0.0;
    QString picture_;
};

// Straight line of a drawing, from (x1, y1) to (x2, y2) in its container.
class Line : public Control {
public:
    Line(Form& form, QString name) : Control(form, ControlKind::Line, std::move(name)) {}

    void setEnds(int x1, int y1, int x2, int y2);
    int x1() const { return x1_; }
    int y1() const { return y1_; }
    int x2() const { return x2_; }
    int y2() const { return y2_; }
    int borderWidth() const { return borderWidth_; }
    void setBorderWidth(int width) { borderWidth_ = width; }

    PropertyList properties() const override;

private:
    int x1_ = 0;
    int y1_ = 0;
    int x2_ = 0;
    int y2_ = 0;
    int borderWidth_ = 1;
};

// Timer: raises Timer every Interval ms while enabled (the view drives it).
class Timer : public Control {
public:
    Timer(Form& form, QString name) : Control(form, ControlKind::Timer, std::move(name)) {
        setEnabled(false);
    }

    int interval() const { return interval_; }
    void setInterval(int ms);

    PropertyList properties() const override;

private:
    int interval_ = 0;
};

// Progress bar with single-precision Value and Max.
class ProgressBar : public Control {
public:
    ProgressBar(Form& form, QString name)
        : Control(form, ControlKind::ProgressBar, std::move(name)) {}

    float value() const { return value_; }
    void setValue(float value);
    float max() const { return max_; }
    void setMax(float max);

    PropertyList properties() const override;

private:
    float value_ = 0.0F;
    float max_ = 100.0F;
};

// Spin button; changing Value raises Change.
class UpDown : public Control {
public:
    UpDown(Form& form, QString name) : Control(form, ControlKind::UpDown, std::move(name)) {}

    int value() const { return value_; }
    void setValue(int value);
    // Sets Value (clamped to the range) without raising Change.
    void assignValue(int value);
    int min() const { return min_; }
    int max() const { return max_; }
    void setRange(int min, int max);

    PropertyList properties() const override;

private:
    int value_ = 0;
    int min_ = 0;
    int max_ = 100;
};

// Tab control: pages with captions; controls placed on it name their page.
class TabControl : public Control {
public:
    TabControl(Form& form, QString name)
        : Control(form, ControlKind::TabControl, std::move(name)) {}

    const QStringList& tabCaptions() const { return tabCaptions_; }
    void setTabCaptions(const QStringList& captions) { tabCaptions_ = captions; }
    int tab() const { return tab_; }
    void setTab(int tab);

    PropertyList properties() const override;

private:
    QStringList tabCaptions_;
    int tab_ = 0;
};

} // namespace korvane
