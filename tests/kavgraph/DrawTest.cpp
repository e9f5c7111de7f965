// What objects, styles and items paint, pixel by pixel where it matters.

#include "kavgraph/KVObjs.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace kavgraph;

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF, kBlack = 0xFF000000, kRed = 0xFFFF0000;

QImage White(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

QRect Covered(const QImage &image, QRgb background = kWhite)
{
    QRect r;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != background)
                r |= QRect(x, y, 1, 1);
    return r;
}

int Count(const QImage &image, QRgb colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == colour;
    return n;
}

QRect RedArea(const QImage &image)
{
    QRect red;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == kRed)
                red |= QRect(x, y, 1, 1);
    return red;
}

TEST(Drawing, AVertexWithoutItemsIsABlackFramedWhiteBox)
{
    TKVVertex v({50, 25}, nullptr, "");
    for (auto [scale, offset, expected] : {std::tuple{1.0, TKVPoint{0, 0}, QRect(QPoint(0, 0), QPoint(99, 49))},
                                           std::tuple{0.5, TKVPoint{-20, -10}, QRect(QPoint(10, 5), QPoint(59, 29))}}) {
        QImage image(130, 80, QImage::Format_RGB32);
        image.fill(Qt::gray);
        {
            TCanvas c(&image);
            v.Draw(c, pmScreen, scale, duAutomatic, offset);
        }
        EXPECT_EQ(Covered(image, QColor(Qt::gray).rgb()), expected);
        EXPECT_EQ(image.pixel(expected.topLeft()), kBlack);
        EXPECT_EQ(image.pixel(expected.bottomRight()), kBlack);
        EXPECT_EQ(image.pixel(expected.center()), kWhite);
    }
}

TEST(Drawing, HandlesOnlyOnScreenForSelectedObjects)
{
    TKVCustomVertex v({60, 40}); // (10, 15, 110, 65)
    v.Selected = true;
    for (TKVPaintMode mode : {pmScreen, pmPrinter, pmClipboard}) {
        QImage image = White(130, 90);
        {
            TCanvas c(&image);
            v.Draw(c, mode, 1.0, duAutomatic, {0, 0});
        }
        EXPECT_EQ(image.pixel(7, 12) == kBlack, mode == pmScreen) << int(mode); // inside the top-left handle
    }
}

struct EdgeScene {
    TKVCustomVertex a{TKVPoint{50, 25}}, b{TKVPoint{250, 25}}; // (0..100) and (200..300) x (0..50)
    TKVStyleLibrary lib;
    std::unique_ptr<TKVEdge> edge;
    EdgeScene()
    {
        auto s = std::make_unique<TKVEdgeStyle>();
        s->Name = "Arrow";
        s->EndBrush = {clRed, bsSolid};
        s->EndPen = {clRed, psSolid, 1};
        lib.AddEdgeStyle(std::move(s));
        edge = std::make_unique<TKVEdge>(&a, &b, TKVPoint{50, 25}, TKVPoint{250, 25}, "Arrow", &lib);
    }
    QImage Draw()
    {
        QImage image = White(320, 60);
        TCanvas c(&image);
        edge->Draw(c, pmScreen, 1.0, duAutomatic, {0, 0});
        return image;
    }
};

TEST(Drawing, ArrowHeadsSitWhereTheLastSegmentMeetsTheBorder)
{
    EdgeScene s;
    const QImage image = s.Draw();
    EXPECT_EQ(image.pixel(197, 25), kRed);
    EXPECT_EQ(image.pixel(202, 25), kBlack) << "the line goes on under the vertex";
    EXPECT_EQ(image.pixel(247, 25), kBlack) << "no head at the handle";
    EXPECT_EQ(RedArea(image), QRect(QPoint(190, 20), QPoint(200, 30))) << "10 long and 10 wide, tip on the border";
}

TEST(Drawing, EndsWithoutDirectionOrWithTheirOwnPainter)
{
    EdgeScene s;
    s.edge->InsertBend({250, 25}); // the last segment has no length
    int painted = 0;
    s.edge->Style.OnDrawCustomEnd = [&](TCanvas &, double, TKVPaintMode, TKVDataUpdateMode, TKVPoint, TKVPoint,
                                        TKVObject *) { ++painted; };
    EXPECT_EQ(Count(s.Draw(), kRed), 0);
    s.edge->Style.DrawCustomEnds = true;
    s.Draw();
    EXPECT_EQ(painted, 0) << "no direction, no border point: no end at all";

    EdgeScene inside; // the last segment stays inside the target: the head sits at the end handle
    inside.edge->InsertBend({230, 25});
    EXPECT_EQ(RedArea(inside.Draw()), QRect(QPoint(240, 20), QPoint(250, 30)));

    EdgeScene c;
    c.edge->Style.DrawCustomEnds = true;
    EXPECT_GT(Count(c.Draw(), kRed), 20) << "no painter: the arrow head";
    std::vector<TKVPoint> ends;
    c.edge->Style.OnDrawCustomEnd = [&](TCanvas &, double, TKVPaintMode, TKVDataUpdateMode, TKVPoint, TKVPoint q,
                                        TKVObject *parent) {
        EXPECT_EQ(parent, c.edge.get());
        ends.push_back(q);
    };
    c.edge->Style.SourceArrow = true;
    EXPECT_EQ(Count(c.Draw(), kRed), 0);
    EXPECT_EQ(ends, (std::vector<TKVPoint>{{200, 25}, {100, 25}})) << "target first, then source";
}

TEST(Drawing, TextBoxShowsTheProvidersTextWhenVisible)
{
    EdgeScene s;
    s.edge->Style.OnGetData = [](std::int32_t, const std::string &field, TKVDataObject *) { return field; };
    s.edge->Style.TextBoxVisible = true;
    s.Draw();
    EXPECT_EQ(s.edge->Text(), "Textbox");
    EXPECT_EQ(s.edge->Style.Data, "Textbox");
    s.edge->Style.TextBoxVisible = false;
    s.Draw();
    EXPECT_EQ(s.edge->Text(), "");
}

TEST(Drawing, LabelsKeepWorldRectanglesAndDrawNothingWithoutText)
{
    TKVCustomEdge e(nullptr, nullptr, {0, 100}, {200, 100});
    e.SetText("Label");
    QImage image = White(500, 300);
    {
        TCanvas c(&image);
        e.Adjacent->Draw(c, pmScreen, 2.0, duAutomatic, {-20, -10});
    }
    const TKVRect r = e.Adjacent->Bounds;
    EXPECT_NEAR((r.Left + r.Right) / 2.0, 100, 1);
    EXPECT_NEAR((r.Top + r.Bottom) / 2.0, 100, 1);
    EXPECT_GT(r.Right - r.Left, 10);
    EXPECT_EQ(e.HitAt({r.Left + 1, r.Top + 1}), e.Adjacent.get());
    const QRect ink = Covered(image);
    EXPECT_NEAR(ink.center().x(), (100 + 20) * 2, 4) << "drawn round the mapped label point";

    e.SetText("");
    QImage blank = White(500, 300);
    {
        TCanvas c(&blank);
        e.Adjacent->Draw(c, pmScreen, 1.0, duAutomatic, {0, 0});
    }
    EXPECT_TRUE(Covered(blank).isEmpty());
    EXPECT_EQ(e.Adjacent->Bounds, r) << "the last rectangle stays";
}

TEST(Drawing, OutlinesDrawnTwiceLeaveNoTrace)
{
    QImage image(300, 120, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x * 7 % 256, y * 13 % 256, (x + y) % 256));
    const QImage before = image;
    TKVCustomVertex a({50, 40}), b({220, 70});
    TKVCustomEdge e(&a, &b, {50, 40}, {220, 70});
    e.AddHandle({135, 55});
    e.SetText("label");
    {
        TCanvas c(&image);
        e.Adjacent->Draw(c, pmScreen, 1.0, duAutomatic, {0, 0});
    }
    const QImage withLabel = image;
    for (int pass = 0; pass < 2; ++pass) {
        {
            TCanvas c(&image);
            a.DrawDrag(c, 1.0);
            e.DrawDrag(c, 1.0);
            e.Handles[1]->DrawDrag(c, 1.0);
            e.Adjacent->DrawDrag(c, 1.0);
            a.ResizeHandles[0]->DrawDrag(c, 1.0);
            EXPECT_EQ(c.Pen.Mode, pmCopy) << "the canvas pen is given back";
        }
        if (pass == 0) {
            EXPECT_NE(image, withLabel);
        }
    }
    EXPECT_EQ(image, withLabel);
    EXPECT_NE(withLabel, before);
}

TEST(Drawing, ItemsDrawInPlace)
{
    TKVVertexStyle style;
    auto d = std::make_unique<TKVDrawItem>();
    d->Shape = diDiamond;
    d->HorzAlign = haBoth;
    d->VertAlign = vaBoth;
    style.DrawItems.push_back(std::move(d));
    TKVStyleLibrary lib;
    TKVVertex v({0, 0}, &lib, "");
    v.SetStyle(style);
    v.Bounds = {20, 10, 60, 30};
    QImage image = White(200, 100);
    {
        TCanvas c(&image);
        v.Draw(c, pmScreen, 2.0, duAutomatic, {10, 5}); // every point offset before scaling
    }
    EXPECT_EQ(Covered(image), QRect(QPoint(20, 10), QPoint(100, 50)));
    EXPECT_EQ(image.pixel(60, 30), kWhite) << "the brush inside";

    // A custom shape is painted by its handler only, which gets the scale in percent.
    v.Style.DrawItems[0]->Shape = diCustom;
    QImage custom = White(200, 100);
    TKVRect seen;
    {
        TCanvas c(&custom);
        v.Draw(c, pmScreen, 2.0, duAutomatic, {10, 5});
        v.Style.DrawItems[0]->OnDrawCustomDrawItem = [&](TCanvas &, double scale, TKVPaintMode, TKVPoint,
                                                         const TKVRect &r, TKVObject *parent, TKVDrawItem *) {
            EXPECT_EQ(scale, 200);
            EXPECT_EQ(parent, &v);
            seen = r;
        };
        v.Draw(c, pmScreen, 2.0, duAutomatic, {10, 5});
    }
    EXPECT_TRUE(Covered(custom).isEmpty());
    EXPECT_EQ(seen, (TKVRect{20, 10, 100, 50}));
}

TEST(Drawing, BitmapItemsKeepTheirAspectRatioFromTheTopLeftCorner)
{
    TKVBitmapItem item;
    item.Bitmap.SetSize(2, 1);
    item.Bitmap.SetPixel(0, 0, clRed);
    item.Bitmap.SetPixel(1, 0, clRed);
    item.HorzAlign = haBoth;
    item.VertAlign = vaBoth;
    for (bool lock : {true, false}) {
        item.LockAspectRatio = lock;
        QImage image = White(100, 100);
        {
            TCanvas c(&image);
            item.Draw({10, 10, 50, 50}, c, 1.0, pmScreen, {0, 0}, nullptr);
        }
        EXPECT_EQ(Covered(image), lock ? QRect(10, 10, 40, 20) : QRect(10, 10, 40, 40));
    }
    TKVBitmapItem empty;
    QImage image = White(100, 100);
    {
        TCanvas c(&image);
        empty.Draw({10, 10, 50, 50}, c, 1.0, pmScreen, {0, 0}, nullptr);
        item.Visible = false;
        item.Draw({10, 10, 50, 50}, c, 1.0, pmScreen, {0, 0}, nullptr);
    }
    EXPECT_TRUE(Covered(image).isEmpty());
}

TEST(Drawing, DataItemsFetchTheirTextAndStackWrappedLines)
{
    TKVStyleLibrary lib;
    auto s = std::make_unique<TKVVertexStyle>();
    s->Name = "S";
    auto d = std::make_unique<TKVDataItem>();
    d->Name = "a|b|c";
    d->HorzAlign = haBoth;
    d->VertAlign = vaTop;
    d->Height = 12; // value mode: output pixels
    d->Brush = {clRed, bsSolid};
    d->WrapMagic = "|";
    s->DataItems.push_back(std::move(d));
    lib.OnGetData = [](std::int32_t, const std::string &field, TKVDataObject *) { return field; };
    lib.AddVertexStyle(std::move(s)); // hands it the provider
    TKVVertex v({50, 25}, &lib, "S"); // (10, 0, 90, 50)
    TKVDataItem &item = *v.Style.DataItems[0];
    for (bool wrap : {true, false}) {
        item.WordWrap = wrap;
        QImage image = White(100, 60);
        {
            TCanvas c(&image);
            v.Draw(c, pmScreen, 1.0, duAutomatic, {0, 0});
        }
        EXPECT_EQ(item.Text, "a|b|c");
        EXPECT_EQ(item.LineCount, wrap ? 3 : 1);
        EXPECT_EQ(image.pixel(85, wrap ? 35 : 11), kRed);
        EXPECT_EQ(image.pixel(85, wrap ? 36 : 12), kWhite);
    }
    v.Style.OnGetData = nullptr;
    QImage image = White(100, 60);
    TCanvas c(&image);
    v.Draw(c, pmScreen, 1.0, duAutomatic, {0, 0});
    EXPECT_EQ(item.Text, "") << "no provider: emptied";
    item.Text = "kept";
    v.Draw(c, pmScreen, 1.0, duManual, {0, 0});
    EXPECT_EQ(item.Text, "kept");
}

} // namespace
