#pragma once
// Random outfits: a random item in each browsable slot (or nothing), random
// base parts, all of them ones the character's gender and job may wear. A
// seed gives the same outfit on every machine: the generator and its bounded
// draw are fixed here, never left to a standard library.

#include <cstdint>

#include "character/chara.h"
#include "character/outfit.h"
#include "database/database.h"

namespace varune {

// SplitMix64: the sequence is part of what a seed means, so it never changes.
class TOutfitRandom {
 public:
  explicit TOutfitRandom(uint64_t Seed) : FState(Seed) {}
  uint64_t Next();
  // Uniform in 0 .. Bound - 1 (Lemire's method with rejection); 0 for a Bound of 0.
  uint32_t Below(uint32_t Bound);

 private:
  uint64_t FState;
};

// A slot stays empty with a chance of one in this many.
inline constexpr uint32_t kEmptySlotOneIn = 4;

// The outfit a seed gives a gender and job: the base parts from what the
// appearance selectors offer, and in slots 1 to 14, the weapon first, an item
// of the slot's list the job may use, or nothing. An item is only drawn when
// the slots it takes are all still free, so that putting the outfit on takes
// nothing drawn off again: a two-handed weapon leaves the shield slot empty.
// A base part without anything to choose from is -1.
TOutfitRecord DrawRandomOutfit(const TVaruneDatabase& DataBase, TGenderType Gender, int32_t Job, uint64_t Seed);

// Dresses the character in the outfit the seed gives its gender and job, in
// one update (one OnModified), taking off whatever was worn before.
void PutOnRandomOutfit(TChara& Chara, const TVaruneDatabase& DataBase, uint64_t Seed);

// A seed from the clock for runs given none; differs from call to call.
uint64_t TimeSeed();

}  // namespace varune
