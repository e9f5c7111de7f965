// Geometry routines, class registries, and the objects' geometry, hit tests and moves.

#include "kavgraph/KVObjs.h"
#include "kavgraph/KVObjsDiagram.h"

#include <atomic>
#include <algorithm>
#include <cmath>

namespace kavgraph {

// ---- Free routines -------------------------------------------------------------------------------

std::int32_t WorldToScreen(std::int32_t V, std::int32_t Scale) { return RoundHalfEven(V * (Scale * 0.01)); }
std::int32_t WorldToScreenF(std::int32_t V, double Factor) { return RoundHalfEven(V * Factor); }
std::int32_t WorldToScreenF64(std::int64_t V, double Factor) { return RoundHalfEven(double(V) * Factor); }

TKVPoint WorldToScreenPt(TKVPoint P, std::int32_t Scale) { return {WorldToScreen(P.X, Scale), WorldToScreen(P.Y, Scale)}; }
TKVPoint WorldToScreenPtF(TKVPoint P, double Factor) { return {WorldToScreenF(P.X, Factor), WorldToScreenF(P.Y, Factor)}; }

std::int32_t ScreenToWorld(std::int32_t V, std::int32_t Scale) { return RoundHalfEven(100.0 / Scale * V); }

TKVPoint ScreenToWorldPt(TKVPoint P, std::int32_t Scale)
{
    const double f = 100.0 / Scale;
    return {RoundHalfEven(f * P.X), RoundHalfEven(f * P.Y)};
}

TKVRect NormalizeRect(const TKVRect &R)
{
    TKVRect r = R;
    if (r.Left > r.Right)
        Swap(r.Left, r.Right);
    if (r.Top > r.Bottom)
        Swap(r.Top, r.Bottom);
    return r;
}

bool FuzzyMatch(std::int32_t D) { return D >= -3 && D <= 3; }

namespace {

// t of the foot of the perpendicular from P on A-B, with |B - A|^2; A != B.
double FootParameter(TKVPoint P, TKVPoint A, TKVPoint B, double &lengthSquared)
{
    const double dx = double(B.X) - A.X, dy = double(B.Y) - A.Y;
    lengthSquared = dx * dx + dy * dy;
    return ((double(P.X) - A.X) * dx + (double(P.Y) - A.Y) * dy) / lengthSquared;
}

TKVPoint Add(TKVPoint a, TKVPoint b) { return {Saturate(std::int64_t(a.X) + b.X), Saturate(std::int64_t(a.Y) + b.Y)}; }

} // namespace

TKVPoint PerpendicularPoint(TKVPoint P, TKVPoint A, TKVPoint B)
{
    if (A == B)
        return A;
    double l2 = 0;
    const double t = FootParameter(P, A, B, l2);
    return {RoundHalfEven(A.X + t * (double(B.X) - A.X)), RoundHalfEven(A.Y + t * (double(B.Y) - A.Y))};
}

std::int32_t PointToLineDistance(TKVPoint P, TKVPoint A, TKVPoint B)
{
    if (A == B)
        return 999;
    double l2 = 0;
    const double t = FootParameter(P, A, B, l2);
    if (!(t > 0 && t < 1))
        return 999;
    const double cross = (double(B.X) - A.X) * (double(A.Y) - P.Y) - (double(B.Y) - A.Y) * (double(A.X) - P.X);
    return RoundHalfEven(cross / std::sqrt(l2));
}

void Swap(std::int32_t &a, std::int32_t &b) { std::swap(a, b); }

bool RectInRect(const TKVRect &A, const TKVRect &B)
{
    return A.Left >= B.Left && A.Right <= B.Right && A.Top >= B.Top && A.Bottom <= B.Bottom;
}

namespace {
std::atomic<std::uint64_t> gGeometryStamp{0};
}

void KVGeometryChanged() { gGeometryStamp.fetch_add(1, std::memory_order_relaxed); }
std::uint64_t KVGeometryStamp() { return gGeometryStamp.load(std::memory_order_relaxed); }

bool PointInRect(TKVPoint P, const TKVRect &R)
{
    return R.Left <= P.X && P.X <= R.Right && R.Top <= P.Y && P.Y <= R.Bottom;
}

TKVPoint PointDiff(TKVPoint A, TKVPoint B) { return {Saturate(std::int64_t(B.X) - A.X), Saturate(std::int64_t(B.Y) - A.Y)}; }

// ---- Vertex index ----------------------------------------------------------------------------------

void TKVVertexIndex::Add(TKVObject *Vertex) { Add(Vertex->Id, Vertex); }

TKVObject *TKVVertexIndex::Find(std::int32_t Id) const
{
    const auto byId = [](const auto &a, const auto &b) { return a.first < b.first; };
    if (fSorted < fEntries.size()) {
        // Stable, so that of equal Ids the one added first stays first.
        const auto middle = fEntries.begin() + std::ptrdiff_t(fSorted);
        std::stable_sort(middle, fEntries.end(), byId);
        std::inplace_merge(fEntries.begin(), middle, fEntries.end(), byId);
        fSorted = fEntries.size();
    }
    if (fEntries.empty())
        return nullptr;
    // Ids are mostly numbered 1, 2, 3...: look where that puts the Id first.
    const std::int64_t guess = std::int64_t(Id) - fEntries.front().first;
    if (guess >= 0 && guess < std::int64_t(fEntries.size()) && fEntries[std::size_t(guess)].first == Id &&
        (guess == 0 || fEntries[std::size_t(guess) - 1].first != Id))
        return fEntries[std::size_t(guess)].second;
    const auto it = std::lower_bound(fEntries.begin(), fEntries.end(), std::pair<std::int32_t, TKVObject *>{Id, nullptr}, byId);
    return it != fEntries.end() && it->first == Id ? it->second : nullptr;
}

// ---- Class registries ------------------------------------------------------------------------------

namespace {

template <typename Class> std::vector<const Class *> &Registry()
{
    static std::vector<const Class *> classes;
    return classes;
}

template <typename Class> void Register(const Class &c)
{
    auto &registry = Registry<Class>();
    std::vector<const Class *> added;
    for (const Class *k = &c; k; k = k->Parent) {
        if (std::find(registry.begin(), registry.end(), k) != registry.end())
            break;
        if (k->Parent)
            for (const Class *r : registry)
                if (r != k && std::string_view(r->Name) == k->Name)
                    throw Exception(std::string("Class already registered: ") + k->Name);
        added.push_back(k);
    }
    registry.insert(registry.end(), added.begin(), added.end());
}

template <typename Class> const Class *Find(std::string_view name)
{
    for (const Class *c : Registry<Class>())
        if (name == c->Name)
            return c;
    return nullptr;
}

} // namespace

void RegisterKVClass(const TKVClass &C) { Register(C); }
void RegisterDataClass(const TKVDataClass &C) { Register(C); }
const TKVClass *GetKVClass(std::string_view Name) { return Find<TKVClass>(Name); }
const TKVDataClass *GetDataClass(std::string_view Name) { return Find<TKVDataClass>(Name); }

const TKVClass &TKVObject::StaticClass()
{
    static const TKVClass c{"TKVObject", nullptr, nullptr, nullptr};
    return c;
}

const TKVClass &TKVHandle::StaticClass()
{
    static const TKVClass c{"TKVHandle", &TKVObject::StaticClass(), nullptr, nullptr};
    return c;
}

const TKVClass &TKVAdjacent::StaticClass()
{
    static const TKVClass c{"TKVAdjacent", &TKVObject::StaticClass(), nullptr, nullptr};
    return c;
}

const TKVClass &TKVCustomEdge::StaticClass()
{
    static const TKVClass c{"TKVCustomEdge", &TKVObject::StaticClass(), &TKVCustomEdge::Load, &TKVCustomEdge::Import};
    return c;
}

const TKVClass &TKVEdge::StaticClass()
{
    static const TKVClass c{"TKVEdge", &TKVCustomEdge::StaticClass(), &TKVEdge::Load, &TKVEdge::Import};
    return c;
}

const TKVClass &TKVCustomVertex::StaticClass()
{
    static const TKVClass c{"TKVCustomVertex", &TKVObject::StaticClass(), &TKVCustomVertex::Load,
                            &TKVCustomVertex::Import};
    return c;
}

const TKVClass &TKVVertex::StaticClass()
{
    static const TKVClass c{"TKVVertex", &TKVCustomVertex::StaticClass(), &TKVVertex::Load, &TKVVertex::Import};
    return c;
}

const TKVDataClass &TKVDataObject::StaticClass()
{
    static const TKVDataClass c{"TKVDataObject", nullptr, nullptr, nullptr};
    return c;
}

void TKVObject::Save(TKVWriter &) const { throw Exception(ClassName() + " cannot be stored"); }
void TKVObject::Export(TKVTextWriter &) const { throw Exception(ClassName() + " cannot be stored"); }

// ---- TKVHandle ---------------------------------------------------------------------------------

// Only objects in a diagram are in its hit index: others move and go without advancing the counter
// (the readers build thousands; adding them to a diagram advances it), and so do the objects of a
// diagram being destroyed.
TKVObject::~TKVObject()
{
    if (fDiagram)
        fDiagram->ObjectFreed(this);
}

TKVHandle::TKVHandle(TKVObject *Owner, TKVHandleType Type, TKVPoint P) : TKVObject(otHandle), HandleType(Type)
{
    if (Owner) {
        Links.push_back(Owner);
        fDiagram = Owner->Diagram();
    }
    MoveTo(P);
}

void TKVHandle::MoveTo(TKVPoint P)
{
    if (fDiagram)
        KVGeometryChanged();
    Position = P;
    Bounds = {Saturate(std::int64_t(P.X) - 4), Saturate(std::int64_t(P.Y) - 4), Saturate(std::int64_t(P.X) + 4),
              Saturate(std::int64_t(P.Y) + 4)};
}

TKVObject *TKVHandle::HitAt(TKVPoint P) { return PointInRect(P, Bounds) ? this : nullptr; }

void TKVHandle::PassiveMoveBy(TKVPoint Delta)
{
    MoveTo(Add(Position, Delta));
    if (HandleType == htEdge || HandleType == htEdgeSourceEnd || HandleType == htEdgeTargetEnd)
        if (auto *edge = dynamic_cast<TKVCustomEdge *>(Owner()))
            edge->PlaceLabel();
}

void TKVHandle::MoveBy(TKVPoint Delta)
{
    switch (HandleType) {
    case htEdge: PassiveMoveBy(Delta); break;
    case htEdgeSourceEnd:
    case htEdgeTargetEnd: {
        if (auto *edge = dynamic_cast<TKVCustomEdge *>(Owner())) {
            TKVObject *end = HandleType == htEdgeSourceEnd ? edge->Source : edge->Target;
            if (end)
                end->ConnectionMoveTo(Delta, Position);
        }
        PassiveMoveBy(Delta);
        break;
    }
    case htTopLeft:
    case htTopRight:
    case htBottomLeft:
    case htBottomRight:
        if (auto *vertex = dynamic_cast<TKVCustomVertex *>(Owner()))
            vertex->ResizeBy(Delta, HandleType);
        break;
    case htAdjacent: {
        auto *adjacent = dynamic_cast<TKVAdjacent *>(Owner());
        if (!adjacent)
            break;
        PassiveMoveBy(adjacent->GetAdjacentPoint(Position, Delta));
        const TKVCustomEdge *edge = adjacent->Edge();
        if (!edge || edge->Handles.size() < 2)
            break;
        const TKVPoint a = edge->Handles[0]->Position, b = edge->Handles[1]->Position;
        const double length = std::hypot(double(b.X) - a.X, double(b.Y) - a.Y);
        // An edge whose first segment has no length keeps the ratio it had.
        if (length > 0)
            adjacent->Ratio = std::hypot(double(Position.X) - a.X, double(Position.Y) - a.Y) / length;
        break;
    }
    }
}

// ---- TKVAdjacent -------------------------------------------------------------------------------

TKVAdjacent::TKVAdjacent(TKVCustomEdge *Edge, TKVPoint P)
    : TKVObject(otAdjacent), Position(P), Bounds{P.X, P.Y, P.X, P.Y}
{
    if (Edge) {
        Links.push_back(Edge);
        fDiagram = Edge->Diagram();
    }
    Handle = std::make_unique<TKVHandle>(this, htAdjacent, P);
}

TKVCustomEdge *TKVAdjacent::Edge() const
{
    return Links.empty() ? nullptr : dynamic_cast<TKVCustomEdge *>(Links.front());
}

TKVPoint TKVAdjacent::GetAdjacentPoint(TKVPoint P, TKVPoint Delta) const
{
    const TKVCustomEdge *edge = Edge();
    if (!edge || edge->Handles.size() < 2)
        return {0, 0};
    const TKVPoint a = edge->Handles[0]->Position, b = edge->Handles[1]->Position;
    const TKVPoint foot = PerpendicularPoint(Add(P, Delta), a, b);
    // The foot lies on the line up to the rounding of its coordinates, so only its place
    // strictly between A and B is asked for here.
    if (PointToLineDistance(foot, a, b) == 999)
        return {0, 0};
    return PointDiff(P, foot);
}

TKVObject *TKVAdjacent::HitAt(TKVPoint P)
{
    if (PointInRect(P, Bounds))
        return this;
    return Handle->HitAt(P);
}

void TKVAdjacent::MoveBy(TKVPoint Delta)
{
    KVGeometryChanged();
    Position = Add(Position, Delta);
    Bounds = {Saturate(std::int64_t(Bounds.Left) + Delta.X), Saturate(std::int64_t(Bounds.Top) + Delta.Y),
              Saturate(std::int64_t(Bounds.Right) + Delta.X), Saturate(std::int64_t(Bounds.Bottom) + Delta.Y)};
}

// ---- TKVCustomEdge -----------------------------------------------------------------------------

TKVCustomEdge::TKVCustomEdge() : TKVObject(otEdge)
{
    Adjacent = std::make_unique<TKVAdjacent>(this, TKVPoint{});
    Handles.reserve(2);
    Handles.push_back(std::make_unique<TKVHandle>(this, htEdgeSourceEnd, TKVPoint{}));
    Handles.push_back(std::make_unique<TKVHandle>(this, htEdgeTargetEnd, TKVPoint{}));
}

TKVCustomEdge::TKVCustomEdge(TKVObject *Source_, TKVObject *Target_, TKVPoint StartP, TKVPoint EndP) : TKVCustomEdge()
{
    Connect(Source_, Target_, StartP, EndP);
}

void TKVCustomEdge::Connect(TKVObject *Source_, TKVObject *Target_, TKVPoint StartP, TKVPoint EndP)
{
    if (auto *v = dynamic_cast<TKVCustomVertex *>(Source_))
        v->SetConnectionPoint(StartP, Target_);
    if (auto *v = dynamic_cast<TKVCustomVertex *>(Target_))
        v->SetConnectionPoint(EndP, Source_);
    const TKVPoint middle{Saturate(EndP.X + std::int64_t(RoundHalfEven((double(StartP.X) - EndP.X) * 0.5))),
                          Saturate(EndP.Y + std::int64_t(RoundHalfEven((double(StartP.Y) - EndP.Y) * 0.5)))};
    Adjacent->Position = middle;
    Adjacent->Bounds = {middle.X, middle.Y, middle.X, middle.Y};
    Adjacent->Handle->MoveTo(middle);
    Handles.front()->MoveTo(StartP);
    Handles.back()->MoveTo(EndP);
    if (Source_)
        Source_->Links.push_back(Handles.front().get());
    if (Target_)
        Target_->Links.push_back(Handles.back().get());
    Source = Source_;
    Target = Target_;
    Adjacent->Handle->MoveBy({0, 0});
}

TKVCustomEdge::~TKVCustomEdge()
{
    for (const auto &handle : Handles)
        for (TKVObject *end : {Source, Target})
            if (end)
                end->Links.removeAll(handle.get());
    // The parts go last made first, which keeps the freed memory in one piece.
    while (!Handles.empty())
        Handles.pop_back();
}

int TKVCustomEdge::IndexOfHandle(const TKVHandle *Handle) const
{
    for (std::size_t i = 0; i < Handles.size(); ++i)
        if (Handles[i].get() == Handle)
            return int(i);
    return -1;
}

void TKVCustomEdge::PlaceLabel()
{
    if (Handles.size() < 2)
        return;
    const TKVPoint a = Handles[0]->Position;
    const TKVPoint d = PointDiff(a, Handles[1]->Position);
    const TKVPoint scaled{RoundHalfEven(d.X * Adjacent->Ratio), RoundHalfEven(d.Y * Adjacent->Ratio)};
    const TKVPoint target = Add(a, Adjacent->GetAdjacentPoint(a, scaled));
    const TKVPoint shift = PointDiff(Adjacent->Handle->Position, target);
    Adjacent->Handle->MoveTo(target);
    Adjacent->MoveBy(shift);
}

TKVObject *TKVCustomEdge::HitAt(TKVPoint P)
{
    if (TKVObject *hit = Adjacent->HitAt(P))
        return hit;
    TKVObject *hit = nullptr;
    for (const auto &handle : Handles)
        if (TKVObject *h = handle->HitAt(P))
            hit = h;
    if (hit)
        return hit;
    for (std::size_t i = 0; i + 1 < Handles.size(); ++i)
        if (FuzzyMatch(PointToLineDistance(P, Handles[i]->Position, Handles[i + 1]->Position)))
            return this;
    return nullptr;
}

void TKVCustomEdge::AddHandle(TKVPoint P)
{
    const std::size_t count = Handles.size();
    bool firstSegment = false;
    for (std::size_t i = 1; i < count && i < Handles.size(); ++i) {
        const TKVPoint a = Handles[i - 1]->Position, b = Handles[i]->Position;
        if (FuzzyMatch(PointToLineDistance(P, a, b))) {
            Handles.insert(Handles.begin() + std::ptrdiff_t(i),
                           std::make_unique<TKVHandle>(this, htEdge, PerpendicularPoint(P, a, b)));
            firstSegment = firstSegment || i == 1;
        }
    }
    if (firstSegment)
        PlaceLabel(); // the label handle rides on the first segment
}

void TKVCustomEdge::DeleteHandle(TKVHandle *Handle)
{
    const int i = IndexOfHandle(Handle);
    if (i > 0 && i < int(Handles.size()) - 1) {
        Handles.erase(Handles.begin() + i);
        KVGeometryChanged();
        if (i == 1)
            PlaceLabel();
    }
}

void TKVCustomEdge::Straighten()
{
    if (Handles.size() > 2) {
        Handles.erase(Handles.begin() + 1, Handles.end() - 1);
        KVGeometryChanged();
        PlaceLabel();
    }
}

void TKVCustomEdge::ToOrthogonal()
{
    Straighten();
    const TKVPoint bend{Handles.front()->Position.X, Handles.back()->Position.Y};
    Handles.insert(Handles.begin() + 1, std::make_unique<TKVHandle>(this, htEdge, bend));
    PlaceLabel();
}

void TKVCustomEdge::InsertBend(TKVPoint P)
{
    Handles.insert(Handles.end() - 1, std::make_unique<TKVHandle>(this, htEdge, P));
}

// ---- TKVCustomVertex ---------------------------------------------------------------------------

TKVCustomVertex::TKVCustomVertex(TKVPoint P) : TKVObject(otVertex)
{
    Bounds = {Saturate(std::int64_t(P.X) - 50), Saturate(std::int64_t(P.Y) - 25), Saturate(std::int64_t(P.X) + 50),
              Saturate(std::int64_t(P.Y) + 25)};
    ResizeHandles.reserve(4);
    for (TKVHandleType type : {htTopLeft, htTopRight, htBottomRight, htBottomLeft})
        ResizeHandles.push_back(std::make_unique<TKVHandle>(this, type, TKVPoint{}));
    TKVCustomVertex::AdjustHandles();
}

TKVCustomVertex::~TKVCustomVertex()
{
    // Edges still attached forget this vertex rather than point at freed memory.
    for (TKVObject *link : Links)
        if (auto *handle = dynamic_cast<TKVHandle *>(link))
            if (auto *edge = dynamic_cast<TKVCustomEdge *>(handle->Owner())) {
                if (edge->Source == this)
                    edge->Source = nullptr;
                if (edge->Target == this)
                    edge->Target = nullptr;
            }
    while (!ResizeHandles.empty())
        ResizeHandles.pop_back();
}

TKVPoint TKVCustomVertex::Center() const
{
    return {Saturate(Bounds.Left + std::int64_t(RoundHalfEven((double(Bounds.Right) - Bounds.Left) * 0.5))),
            Saturate(Bounds.Top + std::int64_t(RoundHalfEven((double(Bounds.Bottom) - Bounds.Top) * 0.5)))};
}

TKVObject *TKVCustomVertex::HitAt(TKVPoint P)
{
    TKVObject *hit = nullptr;
    for (const auto &handle : ResizeHandles)
        if (TKVObject *h = handle->HitAt(P))
            hit = h;
    if (hit)
        return hit;
    return PointInRect(P, Bounds) ? this : nullptr;
}

void TKVCustomVertex::MoveBy(TKVPoint Delta)
{
    KVGeometryChanged();
    Bounds = {Saturate(std::int64_t(Bounds.Left) + Delta.X), Saturate(std::int64_t(Bounds.Top) + Delta.Y),
              Saturate(std::int64_t(Bounds.Right) + Delta.X), Saturate(std::int64_t(Bounds.Bottom) + Delta.Y)};
    for (TKVObject *link : Links)
        link->PassiveMoveBy(Delta);
    AdjustHandles();
}

bool TKVCustomVertex::IsInRect(const TKVRect &R) const { return RectInRect(Bounds, R); }

void TKVCustomVertex::AdjustHandles()
{
    ResizeHandles[0]->MoveTo({Bounds.Left, Bounds.Top});
    ResizeHandles[1]->MoveTo({Bounds.Right, Bounds.Top});
    ResizeHandles[2]->MoveTo({Bounds.Right, Bounds.Bottom});
    ResizeHandles[3]->MoveTo({Bounds.Left, Bounds.Bottom});
    for (TKVObject *link : Links) {
        auto *handle = dynamic_cast<TKVHandle *>(link);
        if (!handle)
            continue;
        TKVPoint p = handle->Position;
        if (p.X < Bounds.Left)
            p.X = Bounds.Left;
        if (p.X > Bounds.Right)
            p.X = Bounds.Right;
        if (p.Y < Bounds.Top)
            p.Y = Bounds.Top;
        if (p.Y > Bounds.Bottom)
            p.Y = Bounds.Bottom;
        if (!(p == handle->Position))
            handle->MoveTo(p);
    }
}

void TKVCustomVertex::ResizeBy(TKVPoint Delta, TKVHandleType HandleType)
{
    TKVRect r = Bounds;
    const bool left = HandleType == htTopLeft || HandleType == htBottomLeft;
    const bool top = HandleType == htTopLeft || HandleType == htTopRight;
    if (HandleType != htTopLeft && HandleType != htTopRight && HandleType != htBottomLeft && HandleType != htBottomRight)
        return;
    std::int64_t x = std::int64_t(left ? r.Left : r.Right) + Delta.X;
    std::int64_t y = std::int64_t(top ? r.Top : r.Bottom) + Delta.Y;
    const bool wideEnough = left ? x < std::int64_t(r.Right) - 10 : x > std::int64_t(r.Left) + 10;
    const bool highEnough = top ? y < std::int64_t(r.Bottom) - 10 : y > std::int64_t(r.Top) + 10;
    if (!wideEnough || !highEnough)
        return;
    (left ? r.Left : r.Right) = Saturate(x);
    (top ? r.Top : r.Bottom) = Saturate(y);
    Bounds = r;
    KVGeometryChanged();
    AdjustHandles();
}

std::optional<TKVPoint> TKVCustomVertex::BorderCrossing(TKVPoint P1, TKVPoint P2) const
{
    const TKVPoint sides[4][2] = {{{Bounds.Left, Bounds.Top}, {Bounds.Right, Bounds.Top}},
                                  {{Bounds.Right, Bounds.Top}, {Bounds.Right, Bounds.Bottom}},
                                  {{Bounds.Left, Bounds.Bottom}, {Bounds.Right, Bounds.Bottom}},
                                  {{Bounds.Left, Bounds.Top}, {Bounds.Left, Bounds.Bottom}}};
    std::optional<TKVPoint> crossing;
    const double px = double(P2.X) - P1.X, py = double(P2.Y) - P1.Y;
    for (const auto &side : sides) {
        const double sx = double(side[1].X) - side[0].X, sy = double(side[1].Y) - side[0].Y;
        const double denominator = py * sx - px * sy;
        if (denominator == 0)
            continue;
        const double ox = double(side[0].X) - P1.X, oy = double(side[0].Y) - P1.Y;
        const double ua = (px * oy - py * ox) / denominator; // along the side
        const double ub = (sx * oy - sy * ox) / denominator; // along P1-P2
        if (ua >= 0 && ua <= 1 && ub >= 0 && ub <= 1)
            crossing = TKVPoint{RoundHalfEven(side[0].X + ua * sx), RoundHalfEven(side[0].Y + ua * sy)};
    }
    return crossing;
}

TKVPoint TKVCustomVertex::FindConnectionPoint(TKVPoint P1, TKVPoint P2)
{
    return BorderCrossing(P1, P2).value_or(TKVPoint{0, 0});
}

void TKVCustomVertex::ConnectionMoveTo(TKVPoint &Delta, TKVPoint HandlePos)
{
    const std::int64_t x = std::int64_t(HandlePos.X) + Delta.X, y = std::int64_t(HandlePos.Y) + Delta.Y;
    if (x > Bounds.Right || x < Bounds.Left)
        Delta.X = 0;
    if (y < Bounds.Top || y > Bounds.Bottom)
        Delta.Y = 0;
}

// ---- TKVDataObject -----------------------------------------------------------------------------

void TKVDataObject::PropertyChanged(const std::string &FieldName)
{
    if (auto *vertex = dynamic_cast<TKVVertex *>(Owner)) {
        if (vertex->Style.OnGetData)
            vertex->Style.OnGetData(vertex->Id, FieldName, this);
    } else if (auto *edge = dynamic_cast<TKVEdge *>(Owner)) {
        if (edge->Style.OnGetData)
            edge->Style.OnGetData(edge->Id, FieldName, this);
    }
}

// ---- TKVEdge -------------------------------------------------------------------------------------

TKVEdge::TKVEdge(TKVObject *Source, TKVObject *Target, TKVPoint StartP, TKVPoint EndP, std::string_view StyleName,
                 TKVStyleLibrary *StyleLibrary)
    : TKVCustomEdge(Source, Target, StartP, EndP)
{
    if (StyleLibrary)
        Style.Assign(StyleLibrary->GetEdgeStyle(StyleName));
}

void TKVEdge::AdoptDataObject(std::unique_ptr<TKVDataObject> Data)
{
    fOwnedData = std::move(Data);
    DataObject = fOwnedData.get();
    if (DataObject)
        DataObject->Owner = this;
}

// ---- TKVVertex -----------------------------------------------------------------------------------

namespace {

// With vsDrawItem the box takes the first draw item's place: moved once by its offsets when a
// style is applied.
void ShiftToFirstDrawItem(TKVRect &bounds, const TKVVertexStyle &style)
{
    if (style.ResizeMode != vsDrawItem || style.DrawItems.empty())
        return;
    const TKVDrawItem &item = *style.DrawItems.front();
    bounds.Left = Saturate(std::int64_t(bounds.Left) + item.Left);
    bounds.Top = Saturate(std::int64_t(bounds.Top) + item.Top);
}

} // namespace

TKVVertex::TKVVertex(TKVPoint P, TKVStyleLibrary *StyleLibrary, std::string_view StyleName) : TKVCustomVertex(P)
{
    const TKVVertexStyle *style = StyleLibrary ? StyleLibrary->GetVertexStyle(StyleName) : nullptr;
    if (!style)
        return;
    SetStyle(*style);
    Bounds.Left = Saturate(std::int64_t(P.X) - RoundHalfEven(Style.Width * 0.5));
    Bounds.Top = Saturate(std::int64_t(P.Y) - RoundHalfEven(Style.Height * 0.5));
    Bounds.Right = Saturate(std::int64_t(Bounds.Left) + Style.Width);
    Bounds.Bottom = Saturate(std::int64_t(Bounds.Top) + Style.Height);
    ShiftToFirstDrawItem(Bounds, Style);
    AdjustHandles();
}

void TKVVertex::SetStyle(const TKVVertexStyle &S)
{
    Style.Assign(&S);
    ShiftToFirstDrawItem(Bounds, Style);
    AdjustHandles();
}

void TKVVertex::AdoptDataObject(std::unique_ptr<TKVDataObject> Data)
{
    fOwnedData = std::move(Data);
    DataObject = fOwnedData.get();
    if (DataObject)
        DataObject->Owner = this;
}

void TKVVertex::AdjustHandles()
{
    if (Style.ResizeMode == vsDrawItem && !Style.DrawItems.empty()) {
        const TKVDrawItem &item = *Style.DrawItems.front();
        Bounds.Right = Saturate(std::int64_t(Bounds.Left) + item.Width);
        Bounds.Bottom = Saturate(std::int64_t(Bounds.Top) + item.Height);
    } else if (Style.ResizeMode == vsNoResize) {
        Bounds.Right = Saturate(std::int64_t(Bounds.Left) + Style.Width);
        Bounds.Bottom = Saturate(std::int64_t(Bounds.Top) + Style.Height);
    }
    TKVCustomVertex::AdjustHandles();
}

void TKVVertex::ResizeBy(TKVPoint Delta, TKVHandleType HandleType)
{
    switch (Style.ResizeMode) {
    case vsNoResize:
    case vsDrawItem: Delta = {0, 0}; break;
    case vsAspectRatio: {
        const double width = double(Bounds.Right) - Bounds.Left, height = double(Bounds.Bottom) - Bounds.Top;
        if (width == 0 || height == 0)
            break; // no ratio to keep
        const double r = width / height;
        const double sign = HandleType == htTopRight || HandleType == htBottomLeft ? -1 : 1;
        if (std::abs(double(Delta.X)) < std::abs(double(Delta.Y)))
            Delta.X = RoundHalfEven(sign * RoundHalfEven(r * Delta.Y));
        else
            Delta.Y = RoundHalfEven(sign * RoundHalfEven(Delta.X / r));
        break;
    }
    default: break;
    }
    TKVCustomVertex::ResizeBy(Delta, HandleType);
}

void TKVVertex::SetConnectionPoint(TKVPoint &P, TKVObject *Other)
{
    const TKVPoint c = Center();
    switch (Style.ConnMoveMode) {
    case cmmCentered: P = c; break;
    case cmmCenterBounds:
    case cmmBounds: {
        const auto *other = dynamic_cast<const TKVCustomVertex *>(Other);
        if (!other)
            break;
        if (std::llabs(std::int64_t(other->Bounds.Left) - P.X) < std::llabs(std::int64_t(other->Bounds.Top) - P.Y))
            P = P.Y < other->Bounds.Top ? TKVPoint{c.X, Bounds.Bottom} : TKVPoint{c.X, Bounds.Top};
        else
            P = P.X < other->Bounds.Left ? TKVPoint{Bounds.Right, c.Y} : TKVPoint{Bounds.Left, c.Y};
        break;
    }
    default: break;
    }
}

void TKVVertex::ConnectionMoveTo(TKVPoint &Delta, TKVPoint HandlePos)
{
    TKVCustomVertex::ConnectionMoveTo(Delta, HandlePos);
    const TKVPoint c = Center();
    auto leadTo = [&](TKVPoint target) { Delta = PointDiff(HandlePos, target); };
    auto absX = [&] { return std::llabs(Delta.X); };
    auto absY = [&] { return std::llabs(Delta.Y); };
    switch (Style.ConnMoveMode) {
    case cmmCentered: leadTo(c); break;
    case cmmCenterBounds:
        if (Delta.X <= 0 && absX() > absY())
            leadTo({Bounds.Left, c.Y});
        else if (Delta.X >= 2 && absX() > absY())
            leadTo({Bounds.Right, c.Y});
        if (Delta.Y <= 0 && absX() < absY())
            leadTo({c.X, Bounds.Top});
        else if (Delta.Y >= 2 && absY() > absX())
            leadTo({c.X, Bounds.Bottom});
        break;
    case cmmBounds: {
        TKVPoint q = Add(HandlePos, Delta);
        if (q.Y != Bounds.Top && q.Y != Bounds.Bottom)
            q.X = std::llabs(std::int64_t(q.X) - Bounds.Left) <= std::llabs(std::int64_t(q.X) - Bounds.Right)
                      ? Bounds.Left
                      : Bounds.Right;
        if (q.X != Bounds.Left && q.X != Bounds.Right)
            q.Y = std::llabs(std::int64_t(q.Y) - Bounds.Top) <= std::llabs(std::int64_t(q.Y) - Bounds.Bottom)
                      ? Bounds.Top
                      : Bounds.Bottom;
        leadTo(q);
        break;
    }
    default: break;
    }
}

} // namespace kavgraph
