#include "viewer/outfit_history.h"

namespace varune {

void TOutfitHistory::BeginStep(const TOutfitSnapshot& Current) {
  if (FDepth++ == 0) FBefore = Current;
}

void TOutfitHistory::EndStep(const TOutfitSnapshot& Current) {
  if (FDepth == 0 || --FDepth > 0 || Current == FBefore) return;
  FUndo.push_back(std::move(FBefore));
  if (FUndo.size() > FLimit) FUndo.pop_front();
  FRedo.clear();
}

std::optional<TOutfitSnapshot> TOutfitHistory::Undo(const TOutfitSnapshot& Current) {
  if (FUndo.empty()) return std::nullopt;
  TOutfitSnapshot previous = std::move(FUndo.back());
  FUndo.pop_back();
  FRedo.push_back(Current);
  return previous;
}

std::optional<TOutfitSnapshot> TOutfitHistory::Redo(const TOutfitSnapshot& Current) {
  if (FRedo.empty()) return std::nullopt;
  TOutfitSnapshot next = std::move(FRedo.back());
  FRedo.pop_back();
  FUndo.push_back(Current);
  return next;
}

}  // namespace varune
