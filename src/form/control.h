#pragma once

#include "base/color.h"
#include "base/signal.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <map>
#include <utility>
#include <vector>

namespace korvane {

class Form;

enum class ControlKind {
    TextBox,
    ComboBox,
    CheckBox,
    CommandButton,
    Frame,
    Label,
    Line,
    Timer,
    ProgressBar,
    UpDown,
    RichTextBox,
    TabControl,
    Grid,
};

enum class Event { Click, Change, Timer, EnterCell, LeaveCell };

// Design-time placement in pixels, relative to the container (form, frame or tab page).
struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

using PropertyList = std::vector<std::pair<QString, QString>>;

// A named control of a form: the properties and events the handlers use, and a change signal
// the view layer listens to. Handlers are attached per event and run synchronously when the
// event is raised, as the window toolkit would run them.
class Control {
public:
    Control(Form& form, ControlKind kind, QString name);
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const QString& name() const { return name_; }
    ControlKind kind() const { return kind_; }
    Form& form() const { return form_; }

    // Placement: the containing frame or tab control (null: the form itself), the tab page
    // (-1 when not on a tab control) and the rectangle inside it.
    Control* container() const { return container_; }
    int page() const { return page_; }
    const Rect& geometry() const { return geometry_; }
    void place(Control* container, int page, Rect geometry);

    bool visible() const { return visible_; }
    void setVisible(bool visible);
    // Visible itself and inside visible containers: what the user can reach.
    bool effectivelyVisible() const;

    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);

    const QString& caption() const { return caption_; }
    void setCaption(const QString& caption);
    const QString& toolTip() const { return toolTip_; }
    void setToolTip(const QString& toolTip);

    Color backColor() const { return backColor_; }
    void setBackColor(Color color);
    Color foreColor() const { return foreColor_; }
    void setForeColor(Color color);

    void on(Event event, std::function<void()> handler);
    void raise(Event event);

    // Every property as name and text, for inspection by scripts.
    virtual PropertyList properties() const;

    Signal<const Control&> changed;

protected:
    void notify() { changed.fire(*this); }

private:
    Form& form_;
    ControlKind kind_;
    QString name_;
    Control* container_ = nullptr;
    int page_ = -1;
    Rect geometry_;
    bool visible_ = true;
    bool enabled_ = true;
    QString caption_;
    QString toolTip_;
    Color backColor_ = colors::kWhite;
    Color foreColor_ = colors::kWindowText;
    std::multimap<Event, std::function<void()>> handlers_;
};

QString boolText(bool value);

} // namespace korvane
