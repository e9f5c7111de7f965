// Style items and styles: placement, line splitting, streaming with the version rules, copying.

#include "kavgraph/KVStyles.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace kavgraph;

namespace {

TEST(StyleItems, PlacementFollowsModeAndAlignment)
{
    const TKVRect rect{10, 20, 210, 70}; // 200 x 50, not at the origin
    const struct {
        TKVCoordMode mode;
        TKVHorzAlign align;
        std::int32_t left, width;
        std::int32_t x, w;
    } cases[] = {
        {cmValue, haNone, 5, 30, 5, 30},
        {cmValue, haLeft, 5, 30, 0, 30},
        {cmValue, haRight, 5, 30, 170, 30}, // right edge meets the vertex's right edge
        {cmValue, haBoth, 5, 30, 0, 200},
        {cmValue, haCenter, 5, 30, 85, 30},
        {cmValue, haCenter, 5, 31, 84, 31}, // round(84.5) = 84: halves to even
        {cmPercentage, haNone, 5, 30, 10, 60},
        {cmPercentage, haLeft, 5, 30, 0, 60},
        {cmPercentage, haRight, 5, 30, 140, 60},
        {cmPercentage, haBoth, 5, 30, 0, 200},
        {cmPercentage, haCenter, 5, 30, 70, 60},
        {cmPercentage, haNone, 5, 0, 10, 44}, // width 0: the default width
        {cmPercentage, haRight, 5, 0, 156, 44},
        {cmPercentage, haBoth, 5, 0, 0, 44}, // stretched with width 0: the default, not the vertex
        {cmPercentage, haCenter, 5, 0, 78, 44},
        {cmValue, TKVHorzAlign(9), 5, 30, 5, 30}, // unknown alignment: as none
    };
    for (const auto &c : cases) {
        TKVDrawItem item;
        item.CoordMode = c.mode;
        item.HorzAlign = c.align;
        item.Left = c.left;
        item.Width = c.width;
        const TKVItemPlacement p = item.AdjustCoordinates(rect, 44, 0);
        EXPECT_EQ(p.X, c.x) << int(c.mode) << "/" << int(c.align) << "/" << c.width;
        EXPECT_EQ(p.W, c.w) << int(c.mode) << "/" << int(c.align) << "/" << c.width;
    }
    TKVDataItem item; // vertically the same rules on Top, Height and the rectangle's height
    item.CoordMode = cmPercentage;
    item.VertAlign = vaBottom;
    item.Height = 20;
    EXPECT_EQ(item.AdjustCoordinates(rect, 0, 0), (TKVItemPlacement{0, 40, 0, 10}));
    EXPECT_EQ(Percent(5, 50), 2);
    EXPECT_EQ(Percent(15, 50), 8);
}

TEST(StyleItems, LineSplitting)
{
    const struct {
        const char *text, *magic;
        bool wrap;
        std::vector<std::string> lines;
    } cases[] = {
        {"a|b|c", "|", true, {"a", "b", "c"}},
        {"a|b|c", "|", false, {"a|b|c"}},
        {"a|b|c", "", true, {"a|b|c"}},
        {"a|||b", "||", true, {"a", "|b"}}, // markers do not overlap
        {"a|", "|", true, {"a", ""}},
        {"", "|", true, {""}},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(WrapLines(c.text, c.magic, c.wrap), std::int32_t(c.lines.size())) << c.text;
        for (std::size_t i = 0; i < c.lines.size(); ++i)
            EXPECT_EQ(WrapString(c.text, std::int32_t(i), c.magic, c.wrap), c.lines[i]) << c.text << " " << i;
        EXPECT_EQ(WrapString(c.text, 5, c.magic, c.wrap), c.lines.back()) << "past the last: the last";
    }
    QImage image(10, 10, QImage::Format_RGB32);
    TCanvas canvas(&image);
    EXPECT_EQ(MaxWidthLine("x|abc|cba|ab", "|", true, canvas), "abc") << "the first of the widest";
    EXPECT_EQ(MaxWidthLine("x|abc", "|", false, canvas), "x|abc");
}

void FillSample(TKVVertexStyle &s)
{
    s.Name = "Box";
    s.ResizeMode = vsAspectRatio;
    s.ConnMoveMode = cmmBounds;
    for (const char *name : {"same", "other", "same"}) {
        auto d = std::make_unique<TKVDrawItem>();
        d->Name = name;
        d->Shape = diEllipse;
        d->Pen = {clRed, psDot, 3};
        s.DrawItems.push_back(std::move(d));
    }
    auto t = std::make_unique<TKVDataItem>();
    t->Name = "Title";
    t->Text = std::string(300, 'T');
    t->WordWrap = true;
    t->WrapMagic = "\\n";
    s.DataItems.push_back(std::move(t));
    auto b = std::make_unique<TKVBitmapItem>();
    b->Bitmap.SetSize(2, 3);
    b->Bitmap.SetPixel(1, 2, 0x123456);
    b->Visible = false;
    s.BitmapItems.push_back(std::move(b));
}

std::string Saved(const TKVVertexStyle &s)
{
    TKVWriter w;
    s.Save(w);
    return w.Data();
}

std::string Saved(const TKVEdgeStyle &s)
{
    TKVWriter w;
    s.Save(w);
    return w.Data();
}

TEST(Styles, VertexStyleCopiesDeeplyAndStreamsBack)
{
    TKVVertexStyle source;
    FillSample(source);
    EXPECT_EQ(source.GetDrawItem("same"), source.DrawItems[2].get()) << "the last of the same name";
    EXPECT_EQ(source.GetDrawItem("Same"), nullptr) << "names are case-sensitive";

    TKVVertexStyle copy;
    copy.Assign(&source);
    copy.Assign(nullptr);
    EXPECT_EQ(Saved(copy), Saved(source));
    EXPECT_NE(copy.DrawItems[0].get(), source.DrawItems[0].get());
    copy.DataItems[0]->Text = "changed";
    EXPECT_EQ(source.DataItems[0]->Text, std::string(300, 'T'));

    const std::string bytes = Saved(source);
    TKVReader r(bytes);
    TKVVertexStyle loaded;
    loaded.DrawItems.push_back(std::make_unique<TKVDrawItem>()); // replaced by the load
    loaded.Load(r, "SL1.03");
    EXPECT_EQ(r.Remaining(), 0u);
    EXPECT_EQ(Saved(loaded), bytes);
    EXPECT_EQ(loaded.BitmapItems[0]->Bitmap.Pixel(1, 2), 0x123456);
}

TEST(Styles, EdgeStyleCopySavesTheSameStream)
{
    TKVEdgeStyle source;
    source.Name = "E";
    source.Pen = {clBlue, psDash, 2};
    source.DrawCustomEnds = true;
    source.Font = {"Courier New", 11, clGreen, true, false, true, false};
    source.TextBoxVisible = true;
    source.DrawConnection = dclNever;
    source.Data = "data";
    TKVEdgeStyle copy;
    copy.Assign(&source);
    EXPECT_EQ(Saved(copy), Saved(source));
    // Graph files hand their own mark: any string but an old library version reads the full form.
    const std::string bytes = Saved(source);
    TKVReader r(bytes);
    TKVEdgeStyle loaded;
    loaded.Load(r, "KV095");
    EXPECT_EQ(r.Remaining(), 0u);
    EXPECT_EQ(Saved(loaded), bytes);
}

TEST(Styles, OldVersionsLeaveDefaults)
{
    // A data item as "SL1.00" stores it: no word-wrap fields.
    TKVDataItem item;
    item.WordWrap = true;
    item.WrapMagic = "|";
    TKVWriter w;
    item.Save(w);
    std::string bytes = w.Data();
    bytes.resize(bytes.size() - 4); // drop the Boolean and the one-byte string
    for (const char *version : {"SL0.95", "SL1.00"}) {
        TKVReader r(bytes);
        TKVDataItem loaded;
        loaded.Load(r, version);
        EXPECT_EQ(r.Remaining(), 0u);
        EXPECT_FALSE(loaded.WordWrap);
        EXPECT_EQ(loaded.WrapMagic, "");
    }
    // A vertex style of "SL0.95" has no connector placement.
    TKVWriter v;
    v.WriteString("Old");
    v.WriteInteger(vsNoResize);
    v.WriteInteger(10);
    v.WriteInteger(20);
    for (int i = 0; i < 3; ++i) {
        v.WriteListBegin();
        v.WriteListEnd();
    }
    TKVReader r(v.Data());
    TKVVertexStyle style;
    style.Load(r, "SL0.95");
    EXPECT_EQ(r.Remaining(), 0u);
    EXPECT_EQ(style.ConnMoveMode, cmmFree);
    EXPECT_EQ(style.Height, 20);
}

TEST(Styles, BitmapSizesAreCheckedAgainstTheDataLeft)
{
    TKVBitmapItem item;
    TKVWriter w;
    item.TKVStyleItem::Save(w);
    w.WriteInteger(60000);
    w.WriteInteger(60000);
    w.WriteInteger(0);
    TKVReader r(w.Data());
    TKVBitmapItem loaded;
    try {
        loaded.Load(r, "SL1.03");
        FAIL() << "loaded";
    } catch (const EKVReadError &e) {
        EXPECT_EQ(e.Message(), "Stream read error");
    }
    EXPECT_TRUE(loaded.Bitmap.Empty());

    TKVWriter n; // a negative side gives the empty bitmap and no pixels
    item.TKVStyleItem::Save(n);
    n.WriteInteger(-3);
    n.WriteInteger(4);
    n.WriteBoolean(false);
    n.WriteBoolean(true);
    TKVReader rn(n.Data());
    loaded.Load(rn, "SL1.03");
    EXPECT_TRUE(loaded.Bitmap.Empty());
    EXPECT_FALSE(loaded.LockAspectRatio);
    EXPECT_EQ(rn.Remaining(), 0u);
}

} // namespace

namespace {

// Every described field of a record, given a value of its own, streams back and is copied by
// Assign: a getter or setter that reaches the wrong member, or a field left out of one of the
// three paths, shows up here.
template <typename Record> void ExpectEachFieldTravels(void (*assign)(Record &, const Record &))
{
    const auto fields = Record::Fields();
    for (std::size_t k = 0; k < fields.size(); ++k) {
        const TKVField<Record> &f = fields[k];
        if (f.Kind != fkInteger && f.Kind != fkBoolean)
            continue;
        SCOPED_TRACE(std::string(f.Part ? f.Part : "") + "." + f.Name);
        Record source;
        const std::int32_t value = f.Kind == fkBoolean ? !f.Get(source) : f.Get(source) + 3;
        f.Set(source, value);
        TKVWriter w;
        WriteFields<Record>(w, source, fields);
        TKVReader r(w.Data());
        Record loaded;
        ReadFields<Record>(r, loaded, fields, "SL1.03");
        EXPECT_EQ(r.Remaining(), 0u);
        EXPECT_EQ(f.Get(loaded), value);
        Record copy;
        assign(copy, source);
        EXPECT_EQ(f.Get(copy), value);
        // No other field moved.
        for (std::size_t o = 0; o < fields.size(); ++o) {
            if (o == k || !fields[o].Get)
                continue;
            EXPECT_EQ(fields[o].Get(loaded), fields[o].Get(Record())) << fields[o].Name;
        }
    }
}

TEST(Fields, EachDescribedFieldStreamsAndCopies)
{
    ExpectEachFieldTravels<TKVDrawItem>([](TKVDrawItem &to, const TKVDrawItem &from) { to.Assign(from); });
    ExpectEachFieldTravels<TKVDataItem>([](TKVDataItem &to, const TKVDataItem &from) { to.Assign(from); });
    ExpectEachFieldTravels<TKVBitmapItem>([](TKVBitmapItem &to, const TKVBitmapItem &from) { to.Assign(from); });
    ExpectEachFieldTravels<TKVVertexStyle>([](TKVVertexStyle &to, const TKVVertexStyle &from) { to.Assign(&from); });
    ExpectEachFieldTravels<TKVEdgeStyle>([](TKVEdgeStyle &to, const TKVEdgeStyle &from) { to.Assign(&from); });
}

TEST(Fields, EdgeStyleVersionsStopWhereTheirFilesDo)
{
    TKVEdgeStyle full;
    full.DrawCustomEnds = true;
    full.TextBoxVisible = true;
    full.Data = "text";
    const std::string bytes = Saved(full);
    // 1.03 holds everything; 1.02 lacks the custom ends flag; before 1.02 the style ends after
    // the arrows.
    struct Case {
        const char *version;
        std::size_t dropFrom, dropTo; // the bytes the version does not store
        bool textBox;
    };
    TKVWriter head;
    head.WriteString(full.Name);
    head.WriteInteger(full.Pen.Color), head.WriteInteger(full.Pen.Width), head.WriteInteger(full.Pen.Style);
    head.WriteBoolean(full.SourceArrow), head.WriteBoolean(full.TargetArrow);
    const std::size_t flag = head.Data().size();
    for (const Case &c : {Case{"SL1.03", 0, 0, true}, Case{"SL1.02", flag, flag + 1, true},
                          Case{"SL1.01", flag, bytes.size(), false}, Case{"SL0.95", flag, bytes.size(), false}}) {
        SCOPED_TRACE(c.version);
        const std::string old = bytes.substr(0, c.dropFrom ? c.dropFrom : bytes.size()) +
                                (c.dropFrom ? bytes.substr(c.dropTo) : std::string());
        TKVReader r(old);
        TKVEdgeStyle loaded;
        loaded.DrawCustomEnds = true;
        loaded.Load(r, c.version);
        EXPECT_EQ(r.Remaining(), 0u);
        EXPECT_EQ(loaded.DrawCustomEnds, std::string_view(c.version) == "SL1.03");
        EXPECT_EQ(loaded.TextBoxVisible, c.textBox);
        EXPECT_EQ(loaded.Data, c.textBox ? "text" : "");
    }
}

} // namespace
