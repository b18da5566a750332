// The three cable lists and R and X of the picked cable, from the test copy of the cable database.

#include "support/test_app.h"

namespace korvane::testing {
namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

const char* const kPvc = "聚氯乙烯绝缘电力电缆(0.6/1kV)";
const char* const kOverhead = "架空线路";
const char* const kTestType = "测试类型";
const char* const kMissingValues = "缺值电缆";

QStringList items(std::initializer_list<const char*> texts) {
    QStringList list;
    for (const char* text : texts)
        list << QString::fromUtf8(text);
    return list;
}

TEST(CableLookup, PickingACrossSectionFillsRAndX) {
    struct Cable {
        const char* lossType;
        const char* cableType;
        const char* crossSection;
        const char* r;
        const char* x;
    };
    const Cable cables[] = {
        {kPvc, "VV 四芯 铜芯", "50", "0.387", "0.08"},
        {kPvc, "VV 四芯 铜芯", "2.5", "7.41", "0.1"}, // stored 0.10: general format
        {kPvc, "VLV 四芯 铝芯", "25", "1.2", "0.09"},
        {kPvc, "VV 四芯 铜芯", "240", "0.0754", "0.07"},
        {kOverhead, "LJ 铝绞线 线距0.6m", "50", "0.695", "0.328"},
        {kOverhead, "LJ 铝绞线 线距0.8m", "50", "0.695", "0.346"},
        // Quotes in every key column: the choices are bound, not pasted into the query.
        {"O'Brien型测试", "VV'22 测试", "35'", "0.524", "0.083"},
        // Listed twice; the first row counts.
        {kTestType, kMissingValues, "25", "0.727", "0.081"},
    };
    TestApp t;
    for (const Cable& c : cables) {
        SCOPED_TRACE(::testing::Message() << c.cableType << ' ' << c.crossSection);
        t.select("Combo1", u8(c.lossType));
        t.select("Combo2", u8(c.cableType));
        t.select("Combo3", u8(c.crossSection));
        EXPECT_EQ(t.text("Text1"), u8(c.r));
        EXPECT_EQ(t.text("Text2"), u8(c.x));
    }
}

TEST(CableLookup, DuplicateCrossSectionIsListedTwiceAndBothGiveTheFirstRow) {
    TestApp t;
    t.select("Combo1", u8(kTestType));
    t.select("Combo2", u8(kMissingValues));
    EXPECT_EQ(t.combo("Combo3").items(), items({"10", "16", "25", "25"}));
    for (int index : {3, 2}) {
        SCOPED_TRACE(index);
        t.setText("Text1", u8("9"));
        t.setText("Text2", u8("9"));
        ASSERT_EQ(userSelect(t.combo("Combo3"), index), QString());
        EXPECT_EQ(t.text("Text1"), u8("0.727"));
        EXPECT_EQ(t.text("Text2"), u8("0.081"));
    }
}

TEST(CableLookup, CableWithoutAFullRowLeavesBothFieldsEmpty) {
    TestApp t;
    struct Stale {
        const char* what;
        const char* crossSection;
    };
    const Stale cases[] = {{"no resistance", "10"}, {"no reactance", "16"}};
    for (const Stale& c : cases) {
        SCOPED_TRACE(c.what);
        t.select("Combo3", u8("50")); // R and X of a real cable first
        ASSERT_EQ(t.text("Text2"), u8("0.08"));
        t.select("Combo1", u8(kTestType));
        t.select("Combo2", u8(kMissingValues));
        t.select("Combo3", u8(c.crossSection));
        EXPECT_EQ(t.text("Text1"), QString());
        EXPECT_EQ(t.text("Text2"), QString());
        t.select("Combo1", u8(kPvc));
        t.select("Combo2", u8("VV 四芯 铜芯"));
    }

    // A cross-section picked again after a new loss type, before a cable type: no row matches.
    t.select("Combo3", u8("50"));
    t.select("Combo1", u8(kOverhead));
    ASSERT_EQ(t.combo("Combo2").text(), QString());
    t.select("Combo3", u8("35"));
    EXPECT_EQ(t.text("Text1"), QString());
    EXPECT_EQ(t.text("Text2"), QString());
}

TEST(CableLookup, EachListRebuildsOnlyTheNextOne) {
    TestApp t;
    t.select("Combo3", u8("50"));

    // A new loss type lists its cable types, picks none, and leaves the rest as it was.
    t.select("Combo1", u8(kOverhead));
    EXPECT_EQ(t.combo("Combo2").items(), items({"LJ 铝绞线 线距0.6m", "LJ 铝绞线 线距0.8m"}));
    EXPECT_EQ(t.combo("Combo2").listIndex(), -1);
    EXPECT_EQ(t.combo("Combo3").items().size(), 14);
    EXPECT_EQ(t.combo("Combo3").text(), u8("50"));
    EXPECT_EQ(t.text("Text1"), u8("0.387"));
    EXPECT_EQ(t.text("Text2"), u8("0.08"));

    // A new cable type lists its cross-sections, picks none, and keeps R and X.
    t.select("Combo2", u8("LJ 铝绞线 线距0.6m"));
    EXPECT_EQ(t.combo("Combo3").items(),
              items({"16", "25", "35", "50", "70", "95", "120", "150", "185", "240"}));
    EXPECT_EQ(t.combo("Combo3").listIndex(), -1);
    EXPECT_EQ(t.text("Text1"), u8("0.387"));
    EXPECT_EQ(t.text("Text2"), u8("0.08"));
}

TEST(CableLookup, PickingEmptiesRFirstThenFillsBoth) {
    TestApp t;
    t.setText("Text1", u8("1.5"));
    t.setText("Text2", u8("0.2"));
    QStringList resistanceSeen;
    TextBox& resistance = t.form().text(u8("Text1"));
    resistance.changed.connect(
        [&resistanceSeen, &resistance](const Control&) { resistanceSeen << resistance.text(); });
    t.select("Combo3", u8("35"));
    EXPECT_EQ(resistanceSeen, items({"", "0.524"}));
    EXPECT_EQ(t.text("Text2"), u8("0.08"));
}

} // namespace
} // namespace korvane::testing
