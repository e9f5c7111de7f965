// The style library and its file.

#include "kavgraph/KVObjs.h"
#include "platform/text/Windows1252.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace kavgraph {

const char *const KVLibraryVersions[5] = {"SL1.03", "SL1.02", "SL1.01", "SL1.00", "SL0.95"};

namespace {

std::string FileNameText(const QString &name) { return text::Utf8ToCp1252(name.toStdString()); }

template <typename Style>
std::unique_ptr<Style> TakeOut(std::vector<std::unique_ptr<Style>> &styles, Style *style)
{
    auto it = std::find_if(styles.begin(), styles.end(), [style](const auto &s) { return s.get() == style; });
    if (it == styles.end())
        return nullptr;
    std::unique_ptr<Style> taken = std::move(*it);
    styles.erase(it);
    return taken;
}

template <typename Style> Style *FindFirst(const std::vector<std::unique_ptr<Style>> &styles, std::string_view name)
{
    if (name.empty())
        return nullptr;
    for (const auto &s : styles)
        if (s->Name == name)
            return s.get();
    return nullptr;
}

} // namespace

TKVStyleLibrary::TKVStyleLibrary(QObject *Owner) : QObject(Owner) {}
TKVStyleLibrary::~TKVStyleLibrary() = default;

std::string TKVStyleLibrary::ComponentName() const { return FileNameText(objectName()); }

TKVVertexStyle *TKVStyleLibrary::AddVertexStyle(std::unique_ptr<TKVVertexStyle> Style)
{
    Style->OnGetData = OnGetData;
    VertexStyles.push_back(std::move(Style));
    return VertexStyles.back().get();
}

TKVEdgeStyle *TKVStyleLibrary::AddEdgeStyle(std::unique_ptr<TKVEdgeStyle> Style)
{
    Style->OnGetData = OnGetData;
    EdgeStyles.push_back(std::move(Style));
    return EdgeStyles.back().get();
}

std::unique_ptr<TKVVertexStyle> TKVStyleLibrary::DeleteStyle(TKVVertexStyle *Style) { return TakeOut(VertexStyles, Style); }
std::unique_ptr<TKVEdgeStyle> TKVStyleLibrary::DeleteStyle(TKVEdgeStyle *Style) { return TakeOut(EdgeStyles, Style); }

TKVVertexStyle *TKVStyleLibrary::GetVertexStyle(std::string_view Name) const { return FindFirst(VertexStyles, Name); }
TKVEdgeStyle *TKVStyleLibrary::GetEdgeStyle(std::string_view Name) const { return FindFirst(EdgeStyles, Name); }

void TKVStyleLibrary::SetLibFile(const QString &FileName)
{
    fLibFile = FileName;
    if (FileName.isEmpty())
        return;
    if (!QFileInfo(FileName).isFile())
        throw Exception("Libfile " + FileNameText(FileName) + " not found");
    Load(FileName);
}

void TKVStyleLibrary::Load(const QString &FileName)
{
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly))
        throw Exception("Cannot open file " + FileNameText(FileName));
    const QByteArray bytes = file.readAll();
    file.close();
    TKVReader reader(std::string_view(bytes.constData(), std::size_t(bytes.size())));
    DoLoad(reader);
}

void TKVStyleLibrary::Save(const QString &FileName)
{
    TKVWriter writer;
    DoSave(writer);
    QSaveFile file(FileName);
    if (!file.open(QIODevice::WriteOnly))
        throw Exception("Cannot create file " + FileNameText(FileName));
    const std::string &data = writer.Data();
    if (file.write(data.data(), qint64(data.size())) != qint64(data.size()) || !file.commit())
        throw Exception("Stream write error");
    fLibFile = FileName;
}

void TKVStyleLibrary::DoLoad(TKVReader &Reader)
{
    VertexStyles.clear();
    EdgeStyles.clear();
    const std::string version = Reader.ReadString();
    if (std::none_of(std::begin(KVLibraryVersions), std::end(KVLibraryVersions),
                     [&](const char *v) { return version == v; }))
        throw EKVReadError("Invalid File Format");
    LibraryName = Reader.ReadString();
    Reader.ReadListBegin();
    while (!Reader.EndOfList()) {
        auto style = std::make_unique<TKVVertexStyle>();
        style->Load(Reader, version);
        for (const auto &item : style->DrawItems)
            item->OnDrawCustomDrawItem = OnDrawCustomDrawItem;
        AddVertexStyle(std::move(style));
    }
    Reader.ReadListEnd();
    Reader.ReadListBegin();
    while (!Reader.EndOfList()) {
        auto style = std::make_unique<TKVEdgeStyle>();
        style->Load(Reader, version);
        style->OnDrawCustomEnd = OnDrawCustomEnd;
        AddEdgeStyle(std::move(style));
    }
    Reader.ReadListEnd();
}

void TKVStyleLibrary::DoSave(TKVWriter &Writer) const
{
    Writer.WriteString(KVLibraryVersions[0]);
    Writer.WriteString(LibraryName);
    Writer.WriteListBegin();
    for (const auto &style : VertexStyles)
        style->Save(Writer);
    Writer.WriteListEnd();
    Writer.WriteListBegin();
    for (const auto &style : EdgeStyles)
        style->Save(Writer);
    Writer.WriteListEnd();
}

} // namespace kavgraph
