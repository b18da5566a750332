#pragma once

#include "form/controls.h"
#include "form/grid.h"
#include "form/rich_text_box.h"

#include <functional>
#include <memory>
#include <stdexcept>
#include <unordered_map>
#include <vector>

namespace korvane {

// A window of the program: named controls with their design-time placement, a load/unload
// life cycle and Load/Unload handlers. Loading builds the controls afresh from the form's
// design, so a dialog that is unloaded and opened again starts from its design-time state.
class Form {
public:
    using Design = std::function<void(Form&)>;

    Form(QString name, Design design);
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const QString& name() const { return name_; }
    const QString& caption() const { return caption_; }
    void setCaption(const QString& caption) { caption_ = caption; }
    int width() const { return width_; }
    int height() const { return height_; }
    void setSize(int width, int height);
    // A dialog stays beside the main window and the main window stays usable.
    bool isDialog() const { return dialog_; }
    void setDialog(bool dialog) { dialog_ = dialog; }

    bool loaded() const { return loaded_; }
    bool visible() const { return visible_; }
    // Loads the form if needed (design, then Load) and shows it; an open form is only raised.
    void show();
    // Builds the controls and raises Load, once per load.
    void load();
    // Raises Unload, then hides the form and marks it unloaded. The controls stay in memory
    // until the next load, so a handler that unloads its own form can finish safely.
    void unload();

    void onLoad(std::function<void()> handler) { loadHandlers_.push_back(std::move(handler)); }
    void onUnload(std::function<void()> handler) { unloadHandlers_.push_back(std::move(handler)); }

    // Design-time creation of a control.
    template <typename T> T& add(const QString& name, Control* container, int page, Rect geometry) {
        if (index_.contains(name))
            throw std::logic_error("two controls named " + name.toStdString());
        auto control = std::make_unique<T>(*this, name);
        T& ref = *control;
        ref.place(container, page, geometry);
        index_[name] = control.get();
        controls_.push_back(std::move(control));
        return ref;
    }

    bool has(const QString& name) const { return index_.contains(name); }
    Control* find(const QString& name) const;
    Control& control(const QString& name) const;
    const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }

    template <typename T> T& get(const QString& name) const {
        auto* typed = dynamic_cast<T*>(&control(name));
        if (typed == nullptr)
            throw std::logic_error("control of another kind: " + name.toStdString());
        return *typed;
    }
    TextBox& text(const QString& name) const { return get<TextBox>(name); }
    ComboBox& combo(const QString& name) const { return get<ComboBox>(name); }
    CheckBox& check(const QString& name) const { return get<CheckBox>(name); }
    CommandButton& button(const QString& name) const { return get<CommandButton>(name); }
    Frame& frame(const QString& name) const { return get<Frame>(name); }

    // Raised after every load, show, hide or unload.
    Signal<Form&> stateChanged;

private:
    QString name_;
    QString caption_;
    Design design_;
    int width_ = 400;
    int height_ = 300;
    bool dialog_ = false;
    bool loaded_ = false;
    bool visible_ = false;
    std::vector<std::unique_ptr<Control>> controls_;
    std::unordered_map<QString, Control*> index_;
    std::vector<std::function<void()>> loadHandlers_;
    std::vector<std::function<void()>> unloadHandlers_;
};

} // namespace korvane
