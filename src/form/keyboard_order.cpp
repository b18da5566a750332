#include "form/keyboard_order.h"

#include <algorithm>
#include <map>

namespace korvane {

namespace {

int rightOf(const Rect& r) {
    return r.x + r.width;
}

int bottomOf(const Rect& r) {
    return r.y + r.height;
}

bool encloses(const Rect& outer, const Rect& inner) {
    return inner.x >= outer.x && inner.y >= outer.y && rightOf(inner) <= rightOf(outer) &&
           bottomOf(inner) <= bottomOf(outer);
}

// A control to be ordered, with its rectangle in the coordinates of the block being read. A
// frame also carries the controls of its container that lie on its area.
struct Item {
    Control* control = nullptr;
    Rect rect;
    std::vector<Item> adopted;
};

using Items = std::vector<Item>;

// Splits items into groups along one axis: an item starts a new group when it begins at or
// after the end of every item before it.
template <typename Start, typename End>
std::vector<Items> splitAlong(Items items, Start start, End end) {
    std::stable_sort(items.begin(), items.end(),
                     [&](const Item& a, const Item& b) { return start(a.rect) < start(b.rect); });
    std::vector<Items> groups;
    int reach = 0;
    for (Item& item : items) {
        if (groups.empty() || start(item.rect) >= reach) {
            groups.emplace_back();
            reach = end(item.rect);
        }
        reach = std::max(reach, end(item.rect));
        groups.back().push_back(std::move(item));
    }
    return groups;
}

std::vector<Items> bands(Items items) {
    return splitAlong(
        std::move(items), [](const Rect& r) { return r.y; }, bottomOf);
}

std::vector<Items> columns(Items items) {
    return splitAlong(
        std::move(items), [](const Rect& r) { return r.x; }, rightOf);
}

bool isCommandBar(const Items& band) {
    return band.size() >= 2 && std::all_of(band.begin(), band.end(), [](const Item& item) {
               return item.control->kind() == ControlKind::CommandButton;
           });
}

class OrderReader {
public:
    explicit OrderReader(const Form& form) {
        for (const auto& control : form.controls()) {
            if (!liesOutsideForm(*control))
                children_[{control->container(), control->page()}].push_back(control.get());
        }
    }

    std::vector<Control*> read() {
        readPage(nullptr, -1);
        return std::move(order_);
    }

private:
    // A page (the form itself or a page of a tab control) ends with its command bars.
    void readPage(Control* container, int page) {
        std::vector<Control*> commands;
        readBlock(itemsOf(container, page), commands);
        order_.insert(order_.end(), commands.begin(), commands.end());
    }

    // The focusable controls, frames and tab controls placed directly in a container; controls
    // lying on a frame's area join that frame.
    Items itemsOf(Control* container, int page) const {
        Items items;
        auto found = children_.find({container, page});
        if (found == children_.end())
            return items;
        for (Control* control : found->second) {
            const ControlKind kind = control->kind();
            if (kind == ControlKind::Frame || kind == ControlKind::TabControl ||
                takesKeyboardFocus(kind))
                items.push_back({control, control->geometry(), {}});
        }
        std::vector<bool> adopted(items.size(), false);
        for (size_t i = 0; i < items.size(); ++i) {
            if (items[i].control->kind() == ControlKind::Frame)
                continue;
            for (Item& host : items) {
                if (host.control->kind() != ControlKind::Frame ||
                    !encloses(host.rect, items[i].rect))
                    continue;
                Item moved{items[i].control, items[i].rect, {}};
                moved.rect.x -= host.rect.x;
                moved.rect.y -= host.rect.y;
                host.adopted.push_back(std::move(moved));
                adopted[i] = true;
                break;
            }
        }
        Items placed;
        for (size_t i = 0; i < items.size(); ++i) {
            if (!adopted[i] && !isEmptyFrame(items[i]))
                placed.push_back(std::move(items[i]));
        }
        return placed;
    }

    bool isEmptyFrame(const Item& item) const {
        return item.control->kind() == ControlKind::Frame && item.adopted.empty() &&
               itemsOf(item.control, -1).empty();
    }

    // The contents of a frame or a page: bands top to bottom, the closing command bar apart.
    void readBlock(Items items, std::vector<Control*>& commands) {
        std::vector<Items> rows = bands(std::move(items));
        if (!rows.empty() && isCommandBar(rows.back())) {
            for (Items& column : columns(std::move(rows.back())))
                commands.push_back(column.front().control);
            rows.pop_back();
        }
        for (Items& band : rows)
            readBand(std::move(band), commands);
    }

    void readBand(Items band, std::vector<Control*>& commands) {
        for (Items& column : columns(std::move(band))) {
            std::vector<Items> rows = bands(column);
            if (rows.size() > 1) {
                for (Items& row : rows)
                    readBand(std::move(row), commands);
                continue;
            }
            // Controls stacked on one another (alternatives shown in turn): design order.
            for (Item& item : column)
                readItem(std::move(item), commands);
        }
    }

    void readItem(Item item, std::vector<Control*>& commands) {
        switch (item.control->kind()) {
        case ControlKind::Frame: {
            Items inside = itemsOf(item.control, -1);
            for (Item& adopted : item.adopted)
                inside.push_back(std::move(adopted));
            readBlock(std::move(inside), commands);
            break;
        }
        case ControlKind::TabControl: {
            order_.push_back(item.control);
            const auto& tabs = static_cast<const TabControl&>(*item.control);
            for (int page = 0; page < tabs.tabCaptions().size(); ++page)
                readPage(item.control, page);
            break;
        }
        default:
            order_.push_back(item.control);
            break;
        }
    }

    std::map<std::pair<const Control*, int>, std::vector<Control*>> children_;
    std::vector<Control*> order_;
};

} // namespace

bool takesKeyboardFocus(ControlKind kind) {
    switch (kind) {
    case ControlKind::TextBox:
    case ControlKind::ComboBox:
    case ControlKind::CheckBox:
    case ControlKind::CommandButton:
    case ControlKind::UpDown:
    case ControlKind::RichTextBox:
    case ControlKind::TabControl:
    case ControlKind::Grid:
        return true;
    case ControlKind::Frame:
    case ControlKind::Label:
    case ControlKind::Line:
    case ControlKind::Timer:
    case ControlKind::ProgressBar:
        break;
    }
    return false;
}

bool liesOutsideForm(const Control& control) {
    if (control.kind() == ControlKind::Timer)
        return false;
    Rect r = control.geometry();
    for (const Control* c = control.container(); c != nullptr; c = c->container()) {
        r.x += c->geometry().x;
        r.y += c->geometry().y;
    }
    const Form& form = control.form();
    return r.x >= form.width() || r.y >= form.height() || rightOf(r) <= 0 || bottomOf(r) <= 0;
}

std::vector<std::pair<Control*, Control*>> coveringPairs(const Form& form) {
    auto paintsItsArea = [](ControlKind kind) {
        return kind == ControlKind::TextBox || kind == ControlKind::RichTextBox ||
               kind == ControlKind::Grid;
    };
    std::vector<std::pair<Control*, Control*>> pairs;
    const auto& controls = form.controls();
    for (size_t i = 0; i < controls.size(); ++i) {
        Control& below = *controls[i];
        if (!takesKeyboardFocus(below.kind()))
            continue;
        for (size_t j = i + 1; j < controls.size(); ++j) {
            Control& above = *controls[j];
            if (paintsItsArea(above.kind()) && above.container() == below.container() &&
                above.page() == below.page() && encloses(above.geometry(), below.geometry()))
                pairs.emplace_back(&below, &above);
        }
    }
    return pairs;
}

std::vector<Control*> keyboardOrder(const Form& form) {
    return OrderReader(form).read();
}

} // namespace korvane
