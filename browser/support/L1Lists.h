#pragma once
// The framework's root object and the string list with an object attached to each entry,
// as the browser's name lists use them: kept in file order or sorted with the Windows-style
// collation, searched by bisection.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TObject {
public:
    virtual ~TObject() = default;
};

class TStringList {
public:
    struct Entry {
        std::string str;
        TObject *obj = nullptr;
    };

    explicit TStringList(bool ownsObjects = false) : fOwnsObjects(ownsObjects) {}
    ~TStringList();
    TStringList(const TStringList &) = delete;
    TStringList &operator=(const TStringList &) = delete;

    bool OwnsObjects() const { return fOwnsObjects; }
    void SetOwnsObjects(bool owns) { fOwnsObjects = owns; }

    int Count() const { return static_cast<int>(fItems.size()); }
    bool Empty() const { return fItems.empty(); }
    const std::string &Strings(int i) const { return fItems[i].str; }
    TObject *Objects(int i) const { return fItems[i].obj; }
    void SetObject(int i, TObject *o) { fItems[i].obj = o; }
    const std::vector<Entry> &Items() const { return fItems; }

    // Appends at the end; a sorted list inserts at the sorted position instead.
    int Add(std::string s, TObject *o = nullptr);
    void Insert(int index, std::string s, TObject *o = nullptr);
    // Removes entry i; frees its object when the list owns its objects.
    void Delete(int i);
    // Empties the list; frees the objects when the list owns them.
    void Clear();
    void SetCapacity(int n) { fItems.reserve(n > 0 ? static_cast<size_t>(n) : 0); }
    int Capacity() const { return static_cast<int>(fItems.capacity()); }

    bool Sorted() const { return fSorted; }
    // Switching on sorts the list (not stable).
    void SetSorted(bool sorted);
    void Sort();
    // Marks a list read in file order as sorted without sorting it: it was sorted when stored.
    void AssumeSorted() { fSorted = true; }

    // Bisection over a sorted list: true with the first matching index, else false with the
    // insertion point.
    bool Find(std::string_view s, int &index) const;
    // The index of s, or -1: bisection on a sorted list, then a linear case-insensitive scan
    // confirms a miss, so a list sorted under another collation still finds every entry.
    int IndexOf(std::string_view s) const;

private:
    std::vector<Entry> fItems;
    bool fOwnsObjects = false;
    bool fSorted = false;
};

// The object attached to the entry found by the sorted search, or nullptr.
TObject *FindObject(const TStringList &list, std::string_view key);
// Frees every attached object, then empties the list.
void FreeObjects(TStringList &list);
// Frees every attached object and then the list itself (nullptr is ignored).
void L1DeepFreeStringList(TStringList *list);

// Keeps emptied string lists for reuse, so that code that needs a scratch list for a moment does
// not allocate one each time. Owns the lists it keeps and frees them with itself.
class TL1StringListRecycler {
public:
    // An empty list that does not own its objects, from the kept ones or new; the caller owns it
    // until it hands it back.
    std::unique_ptr<TStringList> Get();
    // Empties the list (freeing the objects it owns) and keeps it; nullptr is ignored.
    void Recycle(std::unique_ptr<TStringList> list);
    int KeptCount() const { return static_cast<int>(fKept.size()); }

private:
    std::vector<std::unique_ptr<TStringList>> fKept;
};

// The program-wide recycler.
TL1StringListRecycler &StringListRecycler();
