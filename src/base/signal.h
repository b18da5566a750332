#pragma once

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace korvane {

// A minimal observer list: the view layer connects to a model object to hear of its changes.
//
// A view and the model it draws do not always end in the same order: a window deleted later
// (after the event that closed it) may outlive the controls of its form, which are rebuilt on the
// next load and gone with the program. A view therefore holds its connections as `Connection`
// handles, which disconnect when the view goes and do nothing when the signal went first.
template <typename... Args> class Signal {
    struct Entry {
        int id;
        std::function<void(Args...)> slot;
        bool connected = true;
    };
    // The slots, shared with the handles so that they can tell whether the signal still exists.
    struct Slots {
        std::vector<std::shared_ptr<Entry>> entries;
        int nextId = 1;
    };

public:
    using Slot = std::function<void(Args...)>;

    // A connection held by its listener: disconnected when the handle is destroyed or reset,
    // unless the signal is gone already.
    class Connection {
    public:
        Connection() = default;
        Connection(const Connection&) = delete;
        Connection& operator=(const Connection&) = delete;
        Connection(Connection&& other) noexcept
            : slots_(std::move(other.slots_)), id_(std::exchange(other.id_, 0)) {}
        Connection& operator=(Connection&& other) noexcept {
            if (this != &other) {
                disconnect();
                slots_ = std::move(other.slots_);
                id_ = std::exchange(other.id_, 0);
            }
            return *this;
        }
        ~Connection() { disconnect(); }

        void disconnect() {
            if (const std::shared_ptr<Slots> list = slots_.lock())
                Signal::remove(*list, id_);
            slots_.reset();
            id_ = 0;
        }
        // Connected, and the signal still exists.
        bool connected() const { return id_ != 0 && !slots_.expired(); }

    private:
        friend class Signal;
        Connection(std::weak_ptr<Slots> list, int id) : slots_(std::move(list)), id_(id) {}
        std::weak_ptr<Slots> slots_;
        int id_ = 0;
    };

    Signal() = default;
    Signal(const Signal&) = delete;
    Signal& operator=(const Signal&) = delete;

    int connect(Slot slot) {
        const int id = slots_->nextId++;
        slots_->entries.push_back(std::make_shared<Entry>(Entry{id, std::move(slot)}));
        return id;
    }
    [[nodiscard]] Connection connection(Slot slot) {
        const int id = connect(std::move(slot));
        return Connection(slots_, id);
    }
    void disconnect(int id) { remove(*slots_, id); }

    void fire(Args... args) const {
        // A copy, so that a slot may connect or disconnect (itself or others) while being called;
        // a slot disconnected meanwhile is not called, and the copy keeps the slots alive even if
        // a slot destroys the signal.
        const auto entries = slots_->entries;
        for (const auto& e : entries) {
            if (e->connected)
                e->slot(args...);
        }
    }

private:
    static void remove(Slots& list, int id) {
        std::erase_if(list.entries, [id](const std::shared_ptr<Entry>& e) {
            if (e->id != id)
                return false;
            e->connected = false;
            return true;
        });
    }

    std::shared_ptr<Slots> slots_ = std::make_shared<Slots>();
};

} // namespace korvane
