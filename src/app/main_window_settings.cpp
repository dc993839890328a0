// The main window's settings: what it reads at start and writes at exit,
// the cache mode's copies, and the options that take effect at the next start.

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QProgressDialog>
#include <QScreen>
#include <QSlider>

#include "app/application.h"
#include "app/fav_form.h"
#include "app/main_window.h"
#include "app/main_window_shared.h"
#include "database/language.h"
#include "viewer/client_cache.h"
#include "viewer/favorites.h"
#include "viewer/ini_file.h"
#include "viewer/startup.h"

namespace varune::app {
namespace {

// The cache copy's progress bar runs in this many steps per archive.
constexpr int kCacheProgressSteps = 1000;
constexpr char kFavoritesFileName[] = "fav.dat";
constexpr char kRecentFileName[] = "recent.dat";

}  // namespace

bool WindowPositionsWork() { return !QGuiApplication::platformName().startsWith(QStringLiteral("wayland")); }

TFormPlacement OuterPlacement(const QWidget& Window) {
  return {Window.x(), Window.y(), Window.width() + kFormFrameWidth, Window.height() + kFormFrameHeight};
}

void RestorePlacement(QWidget& Window, const TFormPlacement& Saved, const TFormPlacement& Default, int32_t MinWidth,
                      int32_t MinHeight, bool FitOnScreen) {
  const bool positioned = WindowPositionsWork();
  std::vector<TRect> screens;
  if (positioned)
    for (const QScreen* screen : QGuiApplication::screens()) {
      const QRect area = screen->availableGeometry();
      screens.push_back({area.left(), area.top(), area.left() + area.width(), area.top() + area.height()});
    }
  TFormPlacement placement = UsablePlacement(Saved, Default, screens, MinWidth, MinHeight);
  if (FitOnScreen) placement = FitOnNearestScreen(placement, screens);
  if (positioned) Window.move(placement.Left, placement.Top);
  Window.resize(placement.Width - kFormFrameWidth, placement.Height - kFormFrameHeight);
}

bool TfrmQuillon::LoadCacheOptions() {
  const TIniFile settings(SettingsFileName());
  const bool cacheMode = settings.ReadBool("Data", "CacheMode", false);
  FDisableCheck = settings.ReadBool("Data", "DisableCheck", false);
  FGenderFree = settings.ReadBool("Data", "GenderFree", false);
  {
    const QSignalBlocker blockCache(cbCacheMode);
    const QSignalBlocker blockCheck(cbDisableCheck);
    cbCacheMode->setChecked(cacheMode);
    cbDisableCheck->setChecked(FDisableCheck);
  }
  cbDisableCheck->setEnabled(cacheMode);
  return cacheMode;
}

void TfrmQuillon::LoadSettings() {
  const TIniFile settings(SettingsFileName());
  const TFormPlacement current = OuterPlacement(*this);
  RestorePlacement(*this, ReadPlacement(settings, "Form", current), current, kFormMinWidth, kFormMinHeight, true);
  FLanguageChoice = ReadLanguageSetting(settings);

  TOutfitSettings now;
  now.Gender = Chara()->Gender();
  now.Tops = tbTops->value();
  now.Bottom = tbBottom->value();
  const TOutfitSettings outfit = ReadOutfitSettings(settings, now);
  RestoreCharaOutfit(*Chara(), outfit);

  const TVaruneDatabase& database = *FWardrobe.DataBase();
  const TGenderType gender = Chara()->Gender();
  const auto restoreStyle = [&](TComboState& Style, QComboBox* StyleCombo, int32_t StyleID, TComboState& Colors,
                                QComboBox* ColorCombo, int32_t ColorID, const TVaruneItemList& Items,
                                const TVaruneBasicList& ColorRecords) {
    if (!RestoreStyle(Style, Colors, StyleID, ColorID, Items, ColorRecords)) return;
    ShowCombo(StyleCombo, Style);
    ShowCombo(ColorCombo, Colors);
    BasicItemSelect(Colors, Items);
  };
  restoreStyle(FHair, cbHair, outfit.Hair, FHairColor, cbHairColor, outfit.HairColor, database.GetHairList(gender),
               database.BasicHairColors());
  restoreStyle(FFace, cbFace, outfit.Face, FEyeColor, cbEyeColor, outfit.EyeColor, database.GetFaceList(gender),
               database.BasicEyeColors());
  Chara()->Base(outfit.Body);
  SelectComboID(FBody, outfit.Body);
  ShowCombo(cbBody, FBody);
  tbTops->setValue(outfit.Tops);
  tbBottom->setValue(outfit.Bottom);
  FExportSettings = ReadExportSettings(settings);
  ReadFavorites(AppDir() + kFavoritesFileName, database.ItemList(), FFavoriteList);
  ReadRecent(AppDir() + kRecentFileName, database.ItemList(), FRecentList);
}

void TfrmQuillon::SaveSettings() {
  if (FErrorExit) return;
  // Two files, two steps: one that fails is told and the other still written.
  const auto step = [](const char* English, const char* Japanese, const std::function<void()>& Save) {
    try {
      Save();
    } catch (const std::exception& error) {
      ShowMessage(nullptr, QString(), Qs(LangText(English, Japanese)) + "\n" + ErrorText(error));
    }
  };
  if (SettingsFileWritable())
    step("The settings could not be saved.", "設定を保存できませんでした。", [this] { SaveSettingsFile(); });
  step("The favourites could not be saved.", "お気に入りを保存できませんでした。",
       [this] { WriteFavorites(AppDir() + kFavoritesFileName, FFavoriteList); });
  step("The recently worn items could not be saved.", "最近の装備を保存できませんでした。",
       [this] { WriteFavorites(AppDir() + kRecentFileName, FRecentList); });
}

void TfrmQuillon::SaveSettingsFile() {
  TIniFile settings(SettingsFileName());
  if (!(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)))
    WritePlacement(settings, "Form", OuterPlacement(*this), WindowPositionsWork());
  TOutfitSettings outfit = CharaOutfit(*Chara());
  outfit.Hair = SelectedComboID(FHair);
  outfit.HairColor = SelectedComboID(FHairColor);
  outfit.Face = SelectedComboID(FFace);
  outfit.EyeColor = SelectedComboID(FEyeColor);
  outfit.Body = SelectedComboID(FBody);
  outfit.Tops = tbTops->value();
  outfit.Bottom = tbBottom->value();
  WriteOutfitSettings(settings, outfit);
  WriteDataSettings(settings, cbCacheMode->isChecked(), cbDisableCheck->isChecked(), ClientPathToSave());
  WriteLanguageSetting(settings, FLanguageChoice);
  WriteExportSettings(settings, FExportSettings);
  if (FFavForm) {
    WritePaletteSettings(settings, {OuterPlacement(*FFavForm), FPaletteVisibleAtClose.value_or(FFavForm->isVisible())},
                         WindowPositionsWork());
  }
  settings.Save();
}

bool TfrmQuillon::GenerateCache() {
  // Archives run to hundreds of megabytes: the copies show their progress.
  QProgressDialog progress(QString(), Qs(LangText("Cancel", "キャンセル")), 0, kCacheProgressSteps);
  progress.setWindowTitle(Qs(kAppTitle));
  progress.setWindowModality(Qt::ApplicationModal);
  progress.setMinimumDuration(300);
  progress.setAutoClose(false);
  progress.setAutoReset(false);
  const TCacheProgress report = [&progress](const std::string& Archive, int64_t Done, int64_t Total) {
    progress.setLabelText(
        Qs(LangText("Copying %1 to the cache...", "%1 をキャッシュにコピーしています...")).arg(Qs(Archive)));
    progress.setValue(Total > 0 ? static_cast<int>(Done * kCacheProgressSteps / Total) : kCacheProgressSteps);
    return !progress.wasCanceled();
  };
  try {
    varune::GenerateCache(ClientDir(), CacheDir(), FDisableCheck, report);
  } catch (const TCacheCancelled&) {
    return false;  // the user's own choice: nothing to tell
  } catch (const std::exception& error) {
    ShowMessage(nullptr, Qs(kAppTitle), ErrorText(error));
    return false;
  }
  return true;
}

void TfrmQuillon::FillBackgrounds() {
  FBackgrounds = ListBackgrounds(AppDir() + "bg/");
  cbBackground->clear();
  cbBackground->addItem(QStringLiteral("背景色選択"));
  for (const TBackgroundEntry& entry : FBackgrounds) cbBackground->addItem(Qs(entry.Name));
  cbBackground->setCurrentIndex(0);
}

void TfrmQuillon::cbCacheModeClick(bool Checked) {
  cbDisableCheck->setEnabled(Checked);
  if (Checked != FCacheMode) TellNextStartup();
}

void TfrmQuillon::cbDisableCheckClick(bool Checked) {
  if (Checked != FDisableCheck) TellNextStartup();
}

void TfrmQuillon::TellNextStartup() {
  ShowMessage(this, QString(),
              Qs(LangText("This change will take effect at the next startup.", "変更は次回起動時に有効になります")));
}

}  // namespace varune::app
