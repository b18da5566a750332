// The form model: what a user can reach, which changes raise events, and the load cycle.

#include "base/signal.h"
#include "form/form.h"
#include "form/user_actions.h"

#include <gtest/gtest.h>

#include <string>

namespace korvane {
namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

// A small window: a list, a box and a field on the form, and a button inside a frame inside a
// frame. Every event handler appends "Control.Event" to `events`.
struct TestWindow {
    std::string events;
    int loads = 0;
    int unloads = 0;
    Form form{u8("TestForm"), [this](Form& f) { design(f); }};

    void design(Form& f) {
        auto& outer = f.add<Frame>(u8("Outer"), nullptr, -1, {});
        auto& inner = f.add<Frame>(u8("Inner"), &outer, -1, {});
        f.add<CommandButton>(u8("Button"), &inner, -1, {});
        auto& list = f.add<ComboBox>(u8("List"), nullptr, -1, {});
        list.addItems({u8("a"), u8("b"), u8("c")});
        f.add<CheckBox>(u8("Box"), nullptr, -1, {});
        f.add<TextBox>(u8("Field"), nullptr, -1, {});
        auto& spin = f.add<UpDown>(u8("Spin"), nullptr, -1, {});
        spin.setRange(0, 10);
        for (const char* name : {"Button", "List", "Box"})
            f.control(u8(name)).on(Event::Click,
                                   [this, name] { events += name + std::string(".Click "); });
        spin.on(Event::Change, [this] { events += "Spin.Change "; });
        f.onLoad([this] { ++loads; });
        f.onUnload([this] { ++unloads; });
    }
    Control& at(const char* name) { return form.control(u8(name)); }
};

TEST(FormModel, OnlyReachableControlsTakeUserActions) {
    struct Reach {
        const char* what;
        void (*arrange)(Form&);
        const char* reason;
    };
    const Reach cases[] = {
        {"reachable", [](Form&) {}, ""},
        {"disabled", [](Form& f) { f.control(u8("Button")).setEnabled(false); },
         "Button is disabled"},
        {"hidden itself", [](Form& f) { f.control(u8("Button")).setVisible(false); },
         "Button is hidden"},
        {"in a hidden frame", [](Form& f) { f.control(u8("Inner")).setVisible(false); },
         "Button is hidden"},
        {"in a frame inside a hidden frame",
         [](Form& f) { f.control(u8("Outer")).setVisible(false); }, "Button is hidden"},
        {"on an unloaded form", [](Form& f) { f.unload(); }, "form TestForm is not loaded"},
    };
    for (const Reach& c : cases) {
        SCOPED_TRACE(c.what);
        TestWindow w;
        w.form.load();
        c.arrange(w.form);
        EXPECT_EQ(userClick(w.at("Button")), u8(c.reason));
        EXPECT_EQ(w.events, *c.reason == '\0' ? "Button.Click " : "");
    }
}

TEST(FormModel, WhichChangesRaiseEvents) {
    struct Change {
        const char* what;
        void (*act)(TestWindow&);
        const char* events;
    };
    const Change cases[] = {
        {"user picks an item", [](TestWindow& w) { userSelect(w.form.combo(u8("List")), 1); },
         "List.Click "},
        {"program sets ListIndex", [](TestWindow& w) { w.form.combo(u8("List")).setListIndex(2); },
         "List.Click "},
        {"program clears a list", [](TestWindow& w) { w.form.combo(u8("List")).clear(); }, ""},
        {"user ticks the box", [](TestWindow& w) { userCheck(w.form.check(u8("Box")), 1); },
         "Box.Click "},
        {"program sets Value", [](TestWindow& w) { w.form.check(u8("Box")).setValue(1); },
         "Box.Click "},
        {"program sets the same Value", [](TestWindow& w) { w.form.check(u8("Box")).setValue(0); },
         ""},
        {"user spins", [](TestWindow& w) { userSpin(w.form.get<UpDown>(u8("Spin")), 3); },
         "Spin.Change "},
        {"program sets the spin to its value",
         [](TestWindow& w) { w.form.get<UpDown>(u8("Spin")).setValue(0); }, ""},
        {"program sets the spin beyond its range",
         [](TestWindow& w) { w.form.get<UpDown>(u8("Spin")).setValue(-4); }, ""},
        {"user types into a field", [](TestWindow& w) { userType(w.at("Field"), u8("12")); }, ""},
    };
    for (const Change& c : cases) {
        SCOPED_TRACE(c.what);
        TestWindow w;
        w.form.load();
        c.act(w);
        EXPECT_EQ(w.events, c.events);
    }
}

TEST(FormModel, EachLoadStartsFromTheDesign) {
    TestWindow w;
    w.form.show();
    w.form.show(); // an open form is only raised
    EXPECT_EQ(w.loads, 1);
    EXPECT_TRUE(w.form.visible());
    w.form.text(u8("Field")).setText(u8("typed"));
    w.at("Outer").setVisible(false);

    w.form.unload();
    EXPECT_EQ(w.unloads, 1);
    EXPECT_FALSE(w.form.loaded());
    EXPECT_FALSE(w.form.visible());
    EXPECT_EQ(w.form.text(u8("Field")).text(), u8("typed")); // still there for a running handler
    w.form.unload();
    EXPECT_EQ(w.unloads, 1);

    w.form.load();
    EXPECT_EQ(w.loads, 2);
    EXPECT_EQ(w.form.text(u8("Field")).text(), QString());
    EXPECT_TRUE(w.at("Outer").visible());
    EXPECT_EQ(userClick(w.at("Button")), QString());
    EXPECT_EQ(w.events, "Button.Click "); // the handlers of the old controls are gone
}

// A view holds its connections as handles: they disconnect when the view goes, and do nothing
// when the signal went first (a window deleted after the controls of its form were rebuilt).
TEST(Signal, HandlesDisconnectWithTheirViewAndOutliveTheirSignalSafely) {
    std::string heard;
    {
        Signal<int> changed;
        Signal<int>::Connection kept =
            changed.connection([&heard](int v) { heard += "a" + std::to_string(v); });
        {
            Signal<int>::Connection gone =
                changed.connection([&heard](int v) { heard += "b" + std::to_string(v); });
            changed.fire(1);
        }
        changed.fire(2);
        EXPECT_EQ(heard, "a1b1a2") << "the handle that went took its slot with it";

        Signal<int>::Connection moved = std::move(kept);
        EXPECT_FALSE(kept.connected());
        EXPECT_TRUE(moved.connected());
        changed.fire(3);
        EXPECT_EQ(heard, "a1b1a2a3") << "a moved handle keeps the one connection";

        auto outliving = std::make_unique<Signal<int>::Connection>();
        {
            Signal<int> shortLived;
            *outliving = shortLived.connection([&heard](int) { heard += "x"; });
            EXPECT_TRUE(outliving->connected());
        }
        EXPECT_FALSE(outliving->connected());
        outliving.reset(); // the signal is gone: nothing to disconnect from
    }
    EXPECT_EQ(heard, "a1b1a2a3");
}

TEST(Signal, ASlotDisconnectedWhileTheSignalFiresIsNotCalled) {
    Signal<> changed;
    std::string heard;
    Signal<>::Connection second;
    Signal<>::Connection first = changed.connection([&] {
        heard += "1";
        second.disconnect(); // a view deleted by the first slot's handler
    });
    second = changed.connection([&] { heard += "2"; });
    const int plain = changed.connect([&] { heard += "4"; });
    changed.fire();
    EXPECT_EQ(heard, "14");
    changed.disconnect(plain);
    changed.fire();
    EXPECT_EQ(heard, "141");
}

} // namespace
} // namespace korvane
