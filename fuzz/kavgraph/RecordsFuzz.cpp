// The object records: vertices and edges read from binary and text records of any bytes, against
// a small library and two loaded vertices, give objects or the reader's error.

#include "kavgraph/KVObjs.h"

using namespace kavgraph;

namespace {

struct Scene {
    TKVStyleLibrary library;
    TKVCustomVertex a{TKVPoint{0, 0}}, b{TKVPoint{300, 100}};
    TKVObjectList vertices{&a, &b}, edges;
    Scene()
    {
        a.Id = 1;
        b.Id = 2;
        auto v = std::make_unique<TKVVertexStyle>();
        v->Name = "V";
        v->ConnMoveMode = cmmCenterBounds;
        v->DataItems.push_back(std::make_unique<TKVDataItem>());
        library.AddVertexStyle(std::move(v));
        auto e = std::make_unique<TKVEdgeStyle>();
        e->Name = "E";
        library.AddEdgeStyle(std::move(e));
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    static const TKVClass *classes[] = {&TKVCustomVertex::StaticClass(), &TKVVertex::StaticClass(),
                                        &TKVCustomEdge::StaticClass(), &TKVEdge::StaticClass()};
    const TKVClass &c = *classes[data[0] & 3];
    const bool text = data[0] & 4;
    const std::string_view bytes(reinterpret_cast<const char *>(data + 1), size - 1);
    Scene scene;
    const TKVLoadContext context{scene.vertices, scene.edges, &scene.library, data[0] & 8 ? "KVF095" : "KVF100"};
    try {
        std::unique_ptr<TKVObject> o;
        if (text) {
            TKVTextReader r(bytes);
            o = c.Import(r, context);
            TKVTextWriter w;
            o->Export(w);
        } else {
            TKVReader r(bytes);
            o = c.Load(r, context);
            TKVWriter w;
            o->Save(w);
        }
        o->MoveBy({3, 4});
        o->HitAt({10, 10});
    } catch (const Exception &) {
    }
    return 0;
}
