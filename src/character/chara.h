#pragma once
// The character being dressed: gender, job, motion and animation, the items
// in its 16 equipment slots, its five base parts, and for each of the 35
// sprite layers the sprite entry drawn there. Every change of the outfit goes
// through it; it refers to the database's records and caches, never owns them.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/stream.h"
#include "character/outfit.h"
#include "database/database.h"
#include "imaging/bitmap32.h"

namespace varune {

enum TBasePosition : uint8_t { bpHair = 0, bpFace = 1, bpBody = 2, bpTops = 3, bpBottoms = 4 };
inline constexpr int32_t kBasePositionCount = 5;
inline constexpr int32_t kLayerCount = 35;

// The position a base part of this category takes, or -1.
int32_t BasePositionOf(int32_t Category);

// The sprite ID of an item on a layer: "%.2d_%.4d_%.3d_%.2d".
std::string LayerKey(int32_t Layer, const TVaruneItem& Item);

// One layer: the sprite entry drawn there and the item it belongs to.
struct TDrawPart {
  const TTblItem* TblItem = nullptr;
  const TVaruneItem* Item = nullptr;
};

// Base appearance the drawing leaves out (the desktop program's check boxes).
enum THideOption : uint8_t { hoTops = 1, hoBottoms = 2, hoHair = 4, hoFace = 8, hoBody = 16 };
using THideOptions = uint8_t;

// Frame times are measured against this unsigned, wrapping millisecond clock.
using TClock = std::function<uint32_t()>;
uint32_t TimeGetTime();

class TChara {
 public:
  using TNotifyEvent = std::function<void(TChara& Sender)>;

  explicit TChara(TVaruneDatabase& ADataBase, TClock Clock = TimeGetTime);
  TChara(const TChara&) = delete;
  TChara& operator=(const TChara&) = delete;

  // ---- State ---------------------------------------------------------------

  // The database the character's records come from.
  TVaruneDatabase& DataBase() const { return FDataBase; }

  TGenderType Gender() const { return FGender; }
  // Takes off what the new gender cannot wear and puts on its default base
  // parts. Values other than gtMale and gtFemale are ignored.
  void SetGender(TGenderType Value);
  int32_t Job() const { return FJob; }
  // Jobs outside 1 to 52 are ignored.
  void SetJob(int32_t Value);
  int32_t MotionType() const { return FMotionType; }
  void SetMotionType(int32_t Value);
  int32_t EmotIconNum() const { return FEmotIconNum; }
  void SetEmotIconNum(int32_t Value);
  TAnimationType AnimationType() const { return FAnimationType; }
  // Values outside the 96 kinds are ignored.
  void SetAnimationType(TAnimationType Value);
  int32_t FrameNumber() const { return FFrameNumber; }
  void SetFrameNumber(int32_t Value) { FFrameNumber = Value; }
  int32_t FrameCount() const;
  const TSeq* Sequence() const { return FSeq; }

  // Slots are PosID 1 to 16; other values read as empty and write nothing.
  int32_t GetEquipID(int32_t PosID) const;
  const TVaruneItem* GetEquipObj(int32_t PosID) const;
  // -1 empties the slot; an ID missing from the slot's list does nothing.
  void SetEquipID(int32_t PosID, int32_t ItemID);
  void SetEquipObj(int32_t PosID, const TVaruneItem* Obj);
  // Puts the item on in its own slot; exactly one OnModified follows.
  void Equip(const TVaruneItem* Item);
  // Takes everything off; one OnModified.
  void Clear();

  int32_t GetBaseID(TBasePosition Position) const;
  const TVaruneItem* GetBaseObj(TBasePosition Position) const;
  void SetBaseID(TBasePosition Position, int32_t ItemID);
  void SetBaseObj(TBasePosition Position, const TVaruneItem* Obj);
  void Base(const TVaruneItem* Item);
  void Base(int32_t ItemID);

  // The distinct IDs of the equipped items in slot order.
  std::vector<int32_t> GetCurrentEquipIDList() const;
  const std::array<TDrawPart, kLayerCount + 1>& DrawParts() const { return FDrawParts; }  // by layer, 1 to 35
  const std::array<TDrawPart, kLayerCount + 1>& BaseParts() const { return FBaseParts; }

  // ---- Events --------------------------------------------------------------

  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate();
  // Runs `Steps` inside one update, which ends (one OnModified) also when a
  // step raises; the first failure is the one raised. Not a destructor: the
  // redraw that OnModified runs may raise too.
  template <class TSteps>
  void Update(TSteps Steps) {
    BeginUpdate();
    try {
      Steps();
    } catch (...) {
      try {
        EndUpdate();
      } catch (...) {
      }
      throw;
    }
    EndUpdate();
  }

  TNotifyEvent OnChangeSequence;
  TNotifyEvent OnAnimation;
  TNotifyEvent OnGenderChange;
  TNotifyEvent OnModified;

  // ---- Outfit record -------------------------------------------------------

  TOutfitRecord Outfit() const;
  // Writes the outfit record at the stream's position and moves back there.
  void SaveToStream(TStream& Stream) const;
  // The record in Base64, CR LF after every 76 characters.
  std::string Code() const;
  // Takes gender, base parts and equipment from a record or a code, in one
  // update. A damaged record raises varune::Error and changes nothing.
  void LoadFromStream(TStream& Stream);
  void SetCode(std::string_view Text);
  void Restore(const TOutfitRecord& Record);

  // ---- Drawing and animation -----------------------------------------------

  // Draws frame AFrameIndex (the current one by default) with the feet at
  // (X, Y): the ground shadow, then the layers last to first. The current
  // frame is not changed. Missing pieces are left out; a sheet that cannot be
  // decoded raises its error.
  void Draw(TBitmap32& ABitmap, int32_t X, int32_t Y) const { Draw(ABitmap, X, Y, FFrameNumber); }
  void Draw(TBitmap32& ABitmap, int32_t X, int32_t Y, int32_t AFrameIndex) const;

  // Step the current frame cyclically and return the clock value at which
  // the following step is due.
  uint32_t NextFrame();
  uint32_t PrevFrame();
  // Display time of a frame in milliseconds; 1000 without such a frame.
  uint32_t GetFrameTime(int32_t Index) const;

  THideOptions HideOptions = 0;

 private:
  void Raise(const TNotifyEvent& Event);
  const TSeqFrame* Frame(int32_t Index) const;
  void LoadSequence();
  void UpdateMotionType();
  void PutOn(const TVaruneItem* Item);
  void TakeOff(const TVaruneItem* Item);
  void PutOnBase(const TVaruneItem* Item);
  void SetDefaultBase();
  uint32_t Step(int32_t Delta);

  TVaruneDatabase& FDataBase;
  TClock FClock;
  int32_t FUpdateCount = 0;
  TGenderType FGender = gtMale;
  std::array<const TVaruneItem*, kSlotCount + 1> FEquipObjs{};  // by PosID, 1 to 16
  std::array<const TVaruneItem*, kBasePositionCount> FBaseObjs{};
  std::array<TDrawPart, kLayerCount + 1> FBaseParts{};
  std::array<TDrawPart, kLayerCount + 1> FDrawParts{};
  int32_t FFrameNumber = 0;
  const TSeq* FSeq = nullptr;
  int32_t FJob = 1;
  int32_t FMotionType = 1;
  int32_t FEmotIconNum = 1;
  TAnimationType FAnimationType = atStand;
  // Scratch surface for one cell while drawing, kept to avoid reallocation.
  mutable TBitmap32 FCell;
};

// Dresses `Twin`, a character of the same database, as `Model` is dressed:
// gender, job, emoticon, animation and frame, base parts, equipment and
// hidden parts, in one update.
void DressLike(TChara& Twin, const TChara& Model);

}  // namespace varune
