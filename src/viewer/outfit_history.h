#pragma once
// Undo and redo of the outfit. Each action of the user's (an item put on or
// taken off, a base part, the gender, the job, a loaded slot, a pasted code,
// a random outfit) is one step, kept as what was worn before it; what the
// program changes in the course of that action belongs to the same step.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace varune {

// What undo brings back: the outfit code and the job, which the code does not hold.
struct TOutfitSnapshot {
  std::string Code;
  int32_t Job = 1;
  bool operator==(const TOutfitSnapshot&) const = default;
};

inline constexpr size_t kUndoSteps = 100;

class TOutfitHistory {
 public:
  explicit TOutfitHistory(size_t Limit = kUndoSteps) : FLimit(Limit) {}

  // An action of the user's begins with `Current` worn; actions begun
  // before the outermost one ends join it. The outermost EndStep makes it
  // one step, unless nothing changed; a new step drops what could be redone.
  // Beyond the limit the oldest step goes.
  void BeginStep(const TOutfitSnapshot& Current);
  void EndStep(const TOutfitSnapshot& Current);
  bool InStep() const { return FDepth > 0; }

  bool CanUndo() const { return !FUndo.empty(); }
  bool CanRedo() const { return !FRedo.empty(); }
  // What to wear instead of `Current`, which can then be redone (undone);
  // nullopt when there is no step.
  std::optional<TOutfitSnapshot> Undo(const TOutfitSnapshot& Current);
  std::optional<TOutfitSnapshot> Redo(const TOutfitSnapshot& Current);

 private:
  size_t FLimit;
  int32_t FDepth = 0;
  TOutfitSnapshot FBefore;
  std::deque<TOutfitSnapshot> FUndo;  // oldest first
  std::vector<TOutfitSnapshot> FRedo;
};

}  // namespace varune
