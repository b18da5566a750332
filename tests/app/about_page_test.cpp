// The About text styling and the timer animation of the main window.

#include "app/program_folder.h"
#include "support/test_app.h"

#include <utility>
#include <vector>

namespace korvane::testing {
namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

TEST(Animation, ProgressBarAdvancesByEightAndWrapsRound) {
    struct Tick {
        float max;
        float value;
        float after;
    };
    const Tick cases[] = {
        {100, 0, 8},  {100, 92, 100}, // reaching the maximum exactly does not wrap
        {100, 96, 4}, {100, 100, 8},  {100, 93, 1}, {50, 45, 3}, {100, 99.5F, 7.5F},
    };
    for (const Tick& c : cases) {
        SCOPED_TRACE(::testing::Message() << "Max " << c.max << ", Value " << c.value);
        TestApp t;
        auto& bar = t.form().get<ProgressBar>(u8("ProgressBar1"));
        ASSERT_EQ(bar.max(), 100.0F); // the design-time range
        bar.setMax(c.max);
        bar.setValue(c.value);
        t.form().get<Timer>(u8("Timer1")).raise(Event::Timer);
        EXPECT_EQ(bar.value(), c.after);
    }
}

TEST(Animation, EachTickTogglesTheThreeSchematicLines) {
    TestApp t;
    auto line = [&t](const char* name) -> Line& { return t.form().get<Line>(u8(name)); };
    line("Line10").setVisible(false); // each line toggles on its own
    auto& timer = t.form().get<Timer>(u8("Timer1"));
    struct AfterTicks {
        int ticks;
        bool line9;
        bool line10;
        bool line11;
    };
    const AfterTicks cases[] = {
        {1, false, true, false}, {1, true, false, true}, {2, true, false, true}};
    for (const AfterTicks& c : cases) {
        for (int i = 0; i < c.ticks; ++i)
            timer.raise(Event::Timer);
        EXPECT_EQ(line("Line9").visible(), c.line9);
        EXPECT_EQ(line("Line10").visible(), c.line10);
        EXPECT_EQ(line("Line11").visible(), c.line11);
    }
}

bool inRanges(int i, const std::vector<std::pair<int, int>>& ranges) {
    for (const auto& [first, last] : ranges) {
        if (i >= first && i <= last)
            return true;
    }
    return false;
}

TEST(AboutText, FontOverTheFirst1600CharactersAndRedHeadingsAtFixedPlaces) {
    struct Styled {
        int length;
        std::vector<std::pair<int, int>> red; // first and last position of each red run
    };
    const Styled cases[] = {
        {1000, {{33, 77}, {831, 875}}},
        {2000, {{33, 77}, {831, 875}, {1194, 1238}, {1468, 1512}}},
        {50, {{33, 49}}}, // shorter than a heading: what there is gets styled
        {33, {}},
        {0, {}},
    };
    for (const Styled& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.length << " characters");
        TestApp t;
        auto& box = t.form().get<RichTextBox>(u8("RichTextBox1"));
        box.setText(QString(c.length, u'x'));
        const auto& formats = box.formats();
        ASSERT_EQ(static_cast<int>(formats.size()), c.length);
        for (int i = 0; i < c.length; ++i) {
            const CharFormat& f = formats[static_cast<size_t>(i)];
            SCOPED_TRACE(::testing::Message() << "position " << i);
            if (i < 1600) {
                ASSERT_EQ(f.fontName, u8("宋体"));
                ASSERT_EQ(f.fontSize, 10.0);
                ASSERT_TRUE(f.bold);
            } else {
                ASSERT_EQ(f, box.defaultFormat());
            }
            ASSERT_EQ(f.color, inRanges(i, c.red) ? colors::kRed : colors::kBlack);
        }
    }
}

TEST(AboutText, EveryLineAppendedAtStartUpIsStyledAfresh) {
    TestApp t;
    const auto& box = t.form().get<RichTextBox>(u8("RichTextBox1"));
    const auto& formats = box.formats();
    ASSERT_GT(formats.size(), 1600U); // the shipped text is longer than the styled part
    EXPECT_TRUE(formats[0].bold);
    EXPECT_EQ(formats[33].color, colors::kRed);
    EXPECT_EQ(formats[32].color, colors::kBlack);
    EXPECT_EQ(formats[1599].fontSize, 10.0);
    EXPECT_EQ(formats[1600], box.defaultFormat());
    EXPECT_EQ(formats.back(), box.defaultFormat());
}

// The runs against a plain per-character model of the same selections.
TEST(RichText, RunsFormatExactlyTheSelectedCharacters) {
    struct Step {
        int start;
        int length;
        int what; // 0 font name, 1 size, 2 colour, 3 emphasis
    };
    const std::vector<std::vector<Step>> cases = {
        {{0, 20, 2}},
        {{5, 5, 3}, {7, 10, 3}},  // overlapping: one run of emphasis from 5 to 16
        {{0, 3, 1}, {17, 50, 2}}, // the second is clamped to the end
        {{4, 4, 2}, {4, 4, 3}, {6, 1, 0}, {0, 0, 1}, {19, 1, 3}},
        {{10, 5, 2}, {5, 5, 2}, {15, 5, 2}}, // adjacent runs that come to look alike
    };
    for (size_t n = 0; n < cases.size(); ++n) {
        SCOPED_TRACE(::testing::Message() << "case " << n);
        // A box of its own, without the About page's styling.
        Form form(u8("Plain"), [](Form& f) { f.add<RichTextBox>(u8("Box"), nullptr, -1, {}); });
        form.load();
        auto& box = form.get<RichTextBox>(u8("Box"));
        box.setText(QString(20, u'x'));
        std::vector<CharFormat> model(20, box.defaultFormat());
        for (const Step& step : cases[n]) {
            box.select(step.start, step.length);
            const int end = std::min(20, step.start + step.length);
            for (int i = step.start; i < end; ++i) {
                CharFormat& f = model[static_cast<size_t>(i)];
                switch (step.what) {
                case 0:
                    f.fontName = u8("黑体");
                    break;
                case 1:
                    f.fontSize = 14;
                    break;
                case 2:
                    f.color = colors::kRed;
                    break;
                default:
                    f.bold = true;
                    break;
                }
            }
            switch (step.what) {
            case 0:
                box.setSelFontName(u8("黑体"));
                break;
            case 1:
                box.setSelFontSize(14);
                break;
            case 2:
                box.setSelColor(colors::kRed);
                break;
            default:
                box.setSelBold(true);
                break;
            }
        }
        EXPECT_EQ(box.formats(), model);
        const auto& runs = box.runs();
        ASSERT_FALSE(runs.empty());
        EXPECT_EQ(runs.front().start, 0);
        for (size_t r = 1; r < runs.size(); ++r) {
            EXPECT_LT(runs[r - 1].start, runs[r].start);
            EXPECT_FALSE(runs[r - 1].format == runs[r].format) << "run " << r << " not merged";
        }
        // Appending text, like setting it, leaves every character with the default formatting.
        box.appendText(u8("yy"));
        EXPECT_EQ(box.text(), QString(20, u'x') + u8("yy"));
        EXPECT_EQ(box.formats(), std::vector<CharFormat>(22, box.defaultFormat()));
    }
}

TEST(AboutText, LongInformationFileIsStyledInAFewRuns) {
    const int lines = 20000;
    QByteArray bytes;
    for (int i = 0; i < lines; ++i)
        bytes += QStringLiteral("第%1行：路灯线路\r\n").arg(i, 5, 10, QChar(u'0')).toUtf8();
    ProgramFolder folder;
    folder.writeInformationFile(bytes);
    TestApp t(folder.path());
    const auto& box = t.form().get<RichTextBox>(u8("RichTextBox1"));
    const qsizetype lineLength = u8("第00000行：路灯线路\r\n").size();
    ASSERT_EQ(box.text().size(), lines * lineLength);
    EXPECT_TRUE(box.text().endsWith(u8("第19999行：路灯线路\r\n")));
    // The font part, four red headings between its plain stretches and the unstyled rest.
    EXPECT_EQ(box.runs().size(), 10U);
    const auto formats = box.formats();
    EXPECT_TRUE(formats[0].bold);
    EXPECT_EQ(formats[33].color, colors::kRed);
    EXPECT_EQ(formats[1512].color, colors::kRed);
    EXPECT_EQ(formats[1513].color, colors::kBlack);
    EXPECT_EQ(formats[1599].fontSize, 10.0);
    EXPECT_EQ(formats[1600], box.defaultFormat());
    EXPECT_EQ(formats.back(), box.defaultFormat());
}

} // namespace
} // namespace korvane::testing
