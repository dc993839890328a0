#include "imaging/font.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SIZES_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "archive/error.h"

namespace varune {

int32_t TFont::Size() const {
  const int32_t pixels = Height < 0 ? -Height : Height;
  return (pixels * 72 + kFontDpi / 2) / kFontDpi;
}

void TFont::SetSize(int32_t Points) { Height = -((Points * kFontDpi + 36) / 72); }

namespace {

// The program's own aliases for the Windows fonts it names. "same" keeps the
// strong binding of the asked family, so the alias wins over language rules.
constexpr const char* kAliasRules = R"(<?xml version="1.0"?>
<fontconfig>
  <alias binding="same"><family>ＭＳ Ｐゴシック</family><prefer><family>IPAPGothic</family></prefer></alias>
  <alias binding="same"><family>MS PGothic</family><prefer><family>IPAPGothic</family></prefer></alias>
  <alias binding="same"><family>MS UI Gothic</family><prefer><family>IPAPGothic</family></prefer></alias>
  <alias binding="same"><family>ＭＳ ゴシック</family><prefer><family>IPAGothic</family></prefer></alias>
  <alias binding="same"><family>MS Gothic</family><prefer><family>IPAGothic</family></prefer></alias>
  <alias binding="same"><family>Tahoma</family><prefer><family>DejaVu Sans</family></prefer></alias>
  <alias binding="same"><family>MS Sans Serif</family><prefer><family>DejaVu Sans</family></prefer></alias>
  <alias binding="same"><family>Microsoft Sans Serif</family><prefer><family>DejaVu Sans</family></prefer></alias>
</fontconfig>
)";

// Glyph bitmaps beyond this em size are not worth their memory.
constexpr int32_t kMaxPixelSize = 512;

char32_t NextCodePoint(std::string_view text, size_t& pos) {
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
  const uint8_t first = byte(pos++);
  if (first < 0x80) return first;
  int extra;
  char32_t cp;
  char32_t minimum;
  if ((first & 0xE0) == 0xC0) {
    extra = 1, cp = first & 0x1F, minimum = 0x80;
  } else if ((first & 0xF0) == 0xE0) {
    extra = 2, cp = first & 0x0F, minimum = 0x800;
  } else if ((first & 0xF8) == 0xF0) {
    extra = 3, cp = first & 0x07, minimum = 0x10000;
  } else {
    return 0xFFFD;
  }
  for (int i = 0; i < extra; ++i) {
    if (pos >= text.size() || (byte(pos) & 0xC0) != 0x80) return 0xFFFD;
    cp = (cp << 6) | (byte(pos++) & 0x3F);
  }
  if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0xFFFD;
  return cp;
}

// A font file opened once; sized faces share it through FT_Size objects.
struct TFontFile {
  FT_Face Face = nullptr;
  std::string FileName;
  std::string Family;
  ~TFontFile() {
    if (Face) FT_Done_Face(Face);
  }
};

struct TSizedFace;

struct TCharGlyph {
  TSizedFace* Face = nullptr;
  FT_UInt Index = 0;
};

struct TSizedFace {
  TFontFile* File = nullptr;
  FT_Size Size = nullptr;
  int32_t PixelSize = 0;
  bool Embolden = false;
  bool Bold = false;  // as asked; used when looking for a fallback
  std::string AskedName;
  TFontMetrics Metrics;
  std::unordered_map<FT_UInt, TGlyphBitmap> Glyphs;
  std::unordered_map<char32_t, TCharGlyph> Chars;
};

std::atomic<bool> FShareProcessConfig{false};

class TFontEngine {
 public:
  static TFontEngine& Instance() {
    static TFontEngine engine;
    return engine;
  }

  std::mutex Mutex;

  TSizedFace& Resolve(const TFont& font) {
    const std::string key = font.Name + '\n' + std::to_string(font.Height) + (font.Bold ? "b" : "r");
    auto found = FResolved.find(key);
    if (found != FResolved.end()) return *found->second;
    const TMatch match = Match(font.Name, font.Bold, 0);
    if (match.FileName.empty()) throw Error(Sprintf("no installed font for \"%s\"", font.Name.c_str()));
    TFontFile& file = OpenFile(match);
    TSizedFace& face = Sized(file, PixelSizeFor(file, font.Height), font.Bold && !IsBoldFace(file));
    face.Bold = font.Bold;
    face.AskedName = font.Name;
    FResolved.emplace(key, &face);
    return face;
  }

  TCharGlyph CharGlyph(TSizedFace& face, char32_t cp) {
    auto found = face.Chars.find(cp);
    if (found != face.Chars.end()) return found->second;
    TCharGlyph result{&face, FT_Get_Char_Index(face.File->Face, cp)};
    if (result.Index == 0) {
      const TMatch match = Match(face.AskedName, face.Bold, cp);
      if (!match.FileName.empty()) {
        TFontFile& file = OpenFile(match);
        const FT_UInt index = FT_Get_Char_Index(file.Face, cp);
        if (index != 0) result = {&Sized(file, face.PixelSize, face.Bold && !IsBoldFace(file)), index};
      }
    }
    face.Chars.emplace(cp, result);
    return result;
  }

  const TGlyphBitmap& Glyph(TSizedFace& face, FT_UInt index) {
    auto found = face.Glyphs.find(index);
    if (found != face.Glyphs.end()) return found->second;
    return face.Glyphs.emplace(index, Rasterise(face, index)).first->second;
  }

 private:
  struct TMatch {
    std::string FileName;
    int Index = 0;
    std::string Family;
  };

  TFontEngine() {
    if (FT_Init_FreeType(&FLibrary) != 0) throw Error("FreeType could not start");
    const bool shared = FShareProcessConfig;
    FConfig = shared ? FcConfigReference(nullptr) : FcInitLoadConfig();
    if (FConfig != nullptr) {
      FcConfigParseAndLoadFromMemory(FConfig, reinterpret_cast<const FcChar8*>(kAliasRules), FcFalse);
      if (!shared) FcConfigBuildFonts(FConfig);
    }
  }
  ~TFontEngine() {
    FResolved.clear();
    FSized.clear();
    FFiles.clear();
    FT_Done_FreeType(FLibrary);
    if (FConfig != nullptr) FcConfigDestroy(FConfig);
  }

  // The best installed font for a family and weight, holding `cp` if non-zero.
  TMatch Match(const std::string& family, bool bold, char32_t cp) {
    TMatch result;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcCharSet* chars = nullptr;
    if (cp != 0) {
      chars = FcCharSetCreate();
      FcCharSetAddChar(chars, cp);
      FcPatternAddCharSet(pattern, FC_CHARSET, chars);
    }
    FcConfigSubstitute(FConfig, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult outcome = FcResultNoMatch;
    FcPattern* matched = FcFontMatch(FConfig, pattern, &outcome);
    if (matched != nullptr) {
      FcChar8* file = nullptr;
      FcChar8* name = nullptr;
      FcCharSet* has = nullptr;
      const bool covers = cp == 0 || (FcPatternGetCharSet(matched, FC_CHARSET, 0, &has) == FcResultMatch &&
                                      FcCharSetHasChar(has, cp));
      if (covers && FcPatternGetString(matched, FC_FILE, 0, &file) == FcResultMatch) {
        result.FileName = reinterpret_cast<const char*>(file);
        FcPatternGetInteger(matched, FC_INDEX, 0, &result.Index);
        if (FcPatternGetString(matched, FC_FAMILY, 0, &name) == FcResultMatch)
          result.Family = reinterpret_cast<const char*>(name);
      }
      FcPatternDestroy(matched);
    }
    if (chars != nullptr) FcCharSetDestroy(chars);
    FcPatternDestroy(pattern);
    return result;
  }

  TFontFile& OpenFile(const TMatch& match) {
    const std::string key = match.FileName + '\n' + std::to_string(match.Index);
    auto found = FFiles.find(key);
    if (found != FFiles.end()) return *found->second;
    auto file = std::make_unique<TFontFile>();
    if (FT_New_Face(FLibrary, match.FileName.c_str(), match.Index, &file->Face) != 0)
      throw Error(Sprintf("cannot open the font file %s", match.FileName.c_str()));
    FT_Select_Charmap(file->Face, FT_ENCODING_UNICODE);
    file->FileName = match.FileName;
    file->Family = match.Family;
    return *FFiles.emplace(key, std::move(file)).first->second;
  }

  // Whether the face itself is bold. Decided from the font file rather than
  // the configuration's synthetic-bold rules, so results do not depend on them.
  static bool IsBoldFace(const TFontFile& file) {
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(file.Face, FT_SFNT_OS2));
    if (os2 != nullptr && os2->usWeightClass != 0) return os2->usWeightClass >= 600;
    return (file.Face->style_flags & FT_STYLE_FLAG_BOLD) != 0;
  }

  // Ascent and descent in font units: the Windows metrics when the font has
  // them, as the window system measures cells by them.
  static void DesignMetrics(FT_Face face, int32_t& ascent, int32_t& descent) {
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 != nullptr && os2->usWinAscent + os2->usWinDescent > 0) {
      ascent = os2->usWinAscent;
      descent = os2->usWinDescent;
    } else {
      ascent = face->ascender;
      descent = -face->descender;
    }
  }

  static int32_t PixelSizeFor(const TFontFile& file, int32_t height) {
    if (height == 0) height = -11;
    int32_t pixels = -height;
    if (height > 0) {
      int32_t ascent, descent;
      DesignMetrics(file.Face, ascent, descent);
      const int32_t units = std::max(ascent + descent, 1);
      pixels = static_cast<int32_t>(std::lround(static_cast<double>(height) * file.Face->units_per_EM / units));
    }
    return std::clamp(pixels, 1, kMaxPixelSize);
  }

  TSizedFace& Sized(TFontFile& file, int32_t pixelSize, bool embolden) {
    const std::string key = file.FileName + '\n' + std::to_string(pixelSize) + (embolden ? "b" : "r");
    auto found = FSized.find(key);
    if (found != FSized.end()) return *found->second;
    auto face = std::make_unique<TSizedFace>();
    face->File = &file;
    face->PixelSize = pixelSize;
    face->Embolden = embolden;
    if (FT_New_Size(file.Face, &face->Size) != 0 || FT_Activate_Size(face->Size) != 0 ||
        FT_Set_Pixel_Sizes(file.Face, 0, static_cast<FT_UInt>(pixelSize)) != 0)
      throw Error(Sprintf("cannot size the font %s", file.FileName.c_str()));
    int32_t ascent, descent;
    DesignMetrics(file.Face, ascent, descent);
    const double scale = static_cast<double>(pixelSize) / std::max<int>(file.Face->units_per_EM, 1);
    face->Metrics.Ascent = static_cast<int32_t>(std::lround(ascent * scale));
    face->Metrics.Descent = static_cast<int32_t>(std::lround(descent * scale));
    return *FSized.emplace(key, std::move(face)).first->second;
  }

  TGlyphBitmap Rasterise(TSizedFace& face, FT_UInt index) {
    TGlyphBitmap glyph;
    FT_Face ft = face.File->Face;
    if (FT_Activate_Size(face.Size) != 0 || FT_Load_Glyph(ft, index, FT_LOAD_TARGET_MONO) != 0) return glyph;
    FT_GlyphSlot slot = ft->glyph;
    glyph.Advance = static_cast<int32_t>((slot->advance.x + 32) >> 6);
    if (slot->format != FT_GLYPH_FORMAT_BITMAP && FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0) return glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    glyph.Left = slot->bitmap_left;
    glyph.Top = slot->bitmap_top;
    glyph.Width = static_cast<int32_t>(bitmap.width);
    glyph.Height = static_cast<int32_t>(bitmap.rows);
    glyph.Coverage.assign(static_cast<size_t>(glyph.Width) * static_cast<size_t>(glyph.Height), 0);
    for (int32_t y = 0; y < glyph.Height; ++y) {
      const uint8_t* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
      uint8_t* out = glyph.Coverage.data() + static_cast<size_t>(y) * static_cast<size_t>(glyph.Width);
      for (int32_t x = 0; x < glyph.Width; ++x) {
        if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
          out[x] = (row[x >> 3] >> (7 - (x & 7))) & 1;
        else if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY)
          out[x] = row[x] >= 128;
      }
    }
    if (face.Embolden) Embolden(glyph);
    return glyph;
  }

  // Synthetic bold as the window system does it: every stroke one pixel
  // wider to the right, and one pixel more advance.
  static void Embolden(TGlyphBitmap& glyph) {
    ++glyph.Advance;
    if (glyph.Width == 0) return;
    const int32_t width = glyph.Width + 1;
    std::vector<uint8_t> wider(static_cast<size_t>(width) * static_cast<size_t>(glyph.Height), 0);
    for (int32_t y = 0; y < glyph.Height; ++y) {
      const uint8_t* src = glyph.Coverage.data() + static_cast<size_t>(y) * static_cast<size_t>(glyph.Width);
      uint8_t* dst = wider.data() + static_cast<size_t>(y) * static_cast<size_t>(width);
      for (int32_t x = 0; x < glyph.Width; ++x) {
        dst[x] |= src[x];
        dst[x + 1] |= src[x];
      }
    }
    glyph.Width = width;
    glyph.Coverage.swap(wider);
  }

  FT_Library FLibrary = nullptr;
  FcConfig* FConfig = nullptr;
  std::unordered_map<std::string, std::unique_ptr<TFontFile>> FFiles;
  std::unordered_map<std::string, std::unique_ptr<TSizedFace>> FSized;
  std::unordered_map<std::string, TSizedFace*> FResolved;
};

}  // namespace

void ShareProcessFontConfig() { FShareProcessConfig = true; }

TResolvedFont ResolveFont(const TFont& Font) {
  TFontEngine& engine = TFontEngine::Instance();
  std::lock_guard lock(engine.Mutex);
  const TSizedFace& face = engine.Resolve(Font);
  return {face.File->Family, face.File->FileName, face.PixelSize, face.Embolden};
}

TFontMetrics GetFontMetrics(const TFont& Font) {
  TFontEngine& engine = TFontEngine::Instance();
  std::lock_guard lock(engine.Mutex);
  return engine.Resolve(Font).Metrics;
}

void ForEachGlyph(const TFont& Font, std::string_view Text,
                  const std::function<void(const TGlyphBitmap& Glyph, int32_t PenX)>& Visit) {
  TFontEngine& engine = TFontEngine::Instance();
  std::lock_guard lock(engine.Mutex);
  TSizedFace& face = engine.Resolve(Font);
  int32_t pen = 0;
  size_t pos = 0;
  while (pos < Text.size()) {
    const TCharGlyph ref = engine.CharGlyph(face, NextCodePoint(Text, pos));
    const TGlyphBitmap& glyph = engine.Glyph(*ref.Face, ref.Index);
    Visit(glyph, pen);
    pen += glyph.Advance;
  }
}

}  // namespace varune
