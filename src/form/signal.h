#pragma once

#include <functional>
#include <vector>

namespace korvane {

// A minimal observer list: the view layer connects to a model object to hear of its changes.
// Connections live as long as the signal; views disconnect by clearing what they own.
template <typename... Args> class Signal {
public:
    using Slot = std::function<void(Args...)>;

    int connect(Slot slot) {
        slots_.push_back({nextId_, std::move(slot)});
        return nextId_++;
    }
    void disconnect(int id) {
        std::erase_if(slots_, [id](const Entry& e) { return e.id == id; });
    }
    void fire(Args... args) const {
        // Copy so a slot may disconnect itself (or others) while being called.
        const auto entries = slots_;
        for (const auto& e : entries)
            e.slot(args...);
    }

private:
    struct Entry {
        int id;
        Slot slot;
    };
    std::vector<Entry> slots_;
    int nextId_ = 1;
};

} // namespace korvane
