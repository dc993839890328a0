#pragma once
// Ordered lists of records. One owning list of each record kind lives in the
// database and frees its records; every other list refers to them.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "archive/error.h"
#include "database/records.h"

namespace varune {

inline constexpr const char* kMsgListIndexError = "リストのインデックスが範囲を超えています (%d)";

template <class T>
class TBaseList {
 public:
  explicit TBaseList(bool AOwnsObjects = false) : FOwnsObjects(AOwnsObjects) {}
  ~TBaseList() { Clear(); }
  TBaseList(const TBaseList&) = delete;
  TBaseList& operator=(const TBaseList&) = delete;

  // A referring list stores the reference; an owning list takes the record.
  int32_t Add(const T* AItem) {
    FList.push_back(AItem);
    return Count() - 1;
  }
  int32_t Add(std::unique_ptr<T> AItem) {
    if (!FOwnsObjects) throw Error("参照リストには所有権を渡せません");
    return Add(AItem.release());
  }

  // A referring list's record at `Index` (0 to Count), the later ones moving up.
  void Insert(int32_t Index, const T* AItem) {
    if (Index != Count()) CheckIndex(Index);
    FList.insert(FList.begin() + Index, AItem);
  }

  void Delete(int32_t Index) {
    CheckIndex(Index);
    if (FOwnsObjects) delete FList[static_cast<size_t>(Index)];
    FList.erase(FList.begin() + Index);
  }

  // Deletes from the last element to the first.
  void Clear() {
    if (FOwnsObjects)
      for (auto it = FList.rbegin(); it != FList.rend(); ++it) delete *it;
    FList.clear();
  }

  // Position of the first record whose ID is `AIndex`, or -1.
  int32_t IndexOf(int32_t AIndex) const {
    for (size_t i = 0; i < FList.size(); ++i)
      if (FList[i]->FIndex == AIndex) return static_cast<int32_t>(i);
    return -1;
  }

  // The record with ID `AIndex`, or null.
  const T* Find(int32_t AIndex) const {
    const int32_t position = IndexOf(AIndex);
    return position < 0 ? nullptr : FList[static_cast<size_t>(position)];
  }

  const T* GetItem(int32_t Index) const {
    CheckIndex(Index);
    return FList[static_cast<size_t>(Index)];
  }
  const T* operator[](int32_t Index) const { return GetItem(Index); }

  int32_t Count() const { return static_cast<int32_t>(FList.size()); }
  bool OwnsObjects() const { return FOwnsObjects; }

  auto begin() const { return FList.cbegin(); }
  auto end() const { return FList.cend(); }

 protected:
  void CheckIndex(int32_t Index) const {
    if (Index < 0 || Index >= Count()) throw Error(Sprintf(kMsgListIndexError, Index));
  }

  std::vector<const T*> FList;
  bool FOwnsObjects;
};

// A list that always owns its records.
template <class T>
class TOwnedList : public TBaseList<T> {
 public:
  TOwnedList() : TBaseList<T>(true) {}
};

class TVaruneItemList : public TBaseList<TVaruneItem> {
 public:
  using TBaseList::TBaseList;
  // Ascending by FNum, then FCategory, then FColorID.
  void Sort();
};

using TVaruneBasicList = TBaseList<TVaruneBasic>;
using TVaruneGlobalResList = TOwnedList<TVaruneGlobalRes>;
using TVaruneGlobalStringList = TOwnedList<TVaruneGlobalString>;
using TVaruneSkillMotionList = TOwnedList<TVaruneSkillMotion>;
using TVaruneEffectList = TOwnedList<TVaruneEffect>;

class TVaruneMotionList : public TOwnedList<TVaruneMotion> {
 public:
  using TBaseList::IndexOf;
  int32_t IndexOf(int32_t AJob, int32_t AMotion) const { return IndexOf(AJob * 1000 + AMotion); }
  // A job that has motion type `AMotion` (the last record wins), or -1.
  int32_t GetJobByMotion(int32_t AMotion) const;
  // The job an item belongs to by its job requirement, or -1.
  int32_t GetJobByItem(const TVaruneItem& AItem) const;
};

}  // namespace varune
