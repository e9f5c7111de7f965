// String lists with attached objects, and the recycler of scratch lists.

#include "browser/support/L1Lists.h"

#include "platform/text/Collation.h"

#include <algorithm>

TStringList::~TStringList() { Clear(); }

int TStringList::Add(std::string s, TObject *o)
{
    if (fSorted) {
        int index = 0;
        Find(s, index);
        while (index < Count() && text::CompareText(fItems[index].str, s) == 0)
            ++index;
        Insert(index, std::move(s), o);
        return index;
    }
    fItems.push_back({std::move(s), o});
    return Count() - 1;
}

void TStringList::Insert(int index, std::string s, TObject *o)
{
    fItems.insert(fItems.begin() + index, Entry{std::move(s), o});
}

void TStringList::Delete(int i)
{
    if (fOwnsObjects)
        delete fItems[i].obj;
    fItems.erase(fItems.begin() + i);
}

void TStringList::Clear()
{
    if (fOwnsObjects)
        for (Entry &e : fItems)
            delete e.obj;
    fItems.clear();
}

void TStringList::SetSorted(bool sorted)
{
    if (sorted && !fSorted)
        Sort();
    fSorted = sorted;
}

void TStringList::Sort()
{
    std::sort(fItems.begin(), fItems.end(),
              [](const Entry &a, const Entry &b) { return text::CompareText(a.str, b.str) < 0; });
}

bool TStringList::Find(std::string_view s, int &index) const
{
    int lo = 0, hi = Count() - 1;
    bool found = false;
    while (lo <= hi) {
        int mid = lo + (hi - lo) / 2;
        int c = text::CompareText(fItems[mid].str, s);
        if (c < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (c == 0)
                found = true;
        }
    }
    index = lo;
    return found;
}

int TStringList::IndexOf(std::string_view s) const
{
    int index = 0;
    if (fSorted && Find(s, index))
        return index;
    for (int i = 0; i < Count(); ++i)
        if (text::SameTextCp1252(fItems[i].str, s))
            return i;
    return -1;
}

TObject *FindObject(const TStringList &list, std::string_view key)
{
    int index = list.IndexOf(key);
    return index >= 0 ? list.Objects(index) : nullptr;
}

void FreeObjects(TStringList &list)
{
    for (int i = 0; i < list.Count(); ++i) {
        delete list.Objects(i);
        list.SetObject(i, nullptr);
    }
    list.Clear();
}

void L1DeepFreeStringList(TStringList *list)
{
    if (!list)
        return;
    FreeObjects(*list);
    delete list;
}

std::unique_ptr<TStringList> TL1StringListRecycler::Get()
{
    if (fKept.empty())
        return std::make_unique<TStringList>();
    std::unique_ptr<TStringList> list = std::move(fKept.back());
    fKept.pop_back();
    return list;
}

void TL1StringListRecycler::Recycle(std::unique_ptr<TStringList> list)
{
    if (!list)
        return;
    list->Clear();
    list->SetOwnsObjects(false);
    list->SetSorted(false);
    fKept.push_back(std::move(list));
}

TL1StringListRecycler &StringListRecycler()
{
    static TL1StringListRecycler recycler;
    return recycler;
}
